#include "vormotor/valuelib/ValueFactory.h"

#include <utility>

#include "vormotor/valuelib/BasicValue.h"

namespace vor::valuelib {
namespace {

std::shared_ptr<ValueHost>& CurrentHost() {
    static std::shared_ptr<ValueHost> host;
    return host;
}

}  // namespace

std::shared_ptr<ValueObject> ValueFactory::Create() {
    return BasicValue::Create(BasicValue::Setup{}, CurrentHost());
}

std::shared_ptr<ValueHost> ValueFactory::SetHost(std::shared_ptr<ValueHost> host) {
    return std::exchange(CurrentHost(), std::move(host));
}

}  // namespace vor::valuelib
