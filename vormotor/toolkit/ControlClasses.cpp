#include "vormotor/toolkit/ControlClasses.h"

#include <map>
#include <utility>

#include "vormotor/core/Error.h"

namespace vor {
namespace {

std::map<std::string, ControlClasses::Factory>& Factories() {
    static std::map<std::string, ControlClasses::Factory> factories;
    return factories;
}

}  // namespace

void ControlClasses::Register(const std::string& className, Factory factory) {
    if (!factory || !Factories().emplace(className, std::move(factory)).second) {
        throw Error(error_number::InvalidPropertyValue, "ControlClasses",
                    "Control class registered twice or without a factory: " + className);
    }
}

bool ControlClasses::IsRegistered(const std::string& className) {
    return Factories().contains(className);
}

std::unique_ptr<Control> ControlClasses::Create(const std::string& className, std::string name,
                                                std::optional<std::int32_t> index) {
    const auto found = Factories().find(className);
    if (found == Factories().end()) {
        throw Error(error_number::CannotCreateObject, "ControlClasses",
                    "Can't create object: no control class " + className);
    }
    return found->second(std::move(name), index);
}

}  // namespace vor
