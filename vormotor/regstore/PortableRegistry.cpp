#include "vormotor/regapi/DefaultRegistryApi.h"
#include "vormotor/regstore/RegStore.h"

namespace vor {

// Where the platform registry is missing, the store at its default location takes its place.
std::shared_ptr<RegistryApi> DefaultRegistryApi() {
    static const std::shared_ptr<RegistryApi> store = std::make_shared<RegStore>();
    return store;
}

}  // namespace vor
