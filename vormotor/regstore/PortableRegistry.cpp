#include "vormotor/regapi/DefaultRegistryApi.h"
#include "vormotor/regstore/RegStore.h"

// Where the platform registry is missing, the store at its default location takes its place.
std::shared_ptr<vor::RegistryApi> vor::DefaultRegistryApi() {
    static const std::shared_ptr<RegistryApi> portable = std::make_shared<store::RegStore>();
    return portable;
}
