#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vormotor/toolkit/Control.h"

namespace vor {

// Creation of controls by class name ("SorvaneCtl.Sorvane"), as a form creates the external
// controls it was designed with. Control libraries register their classes; a form that names a
// class nobody registered cannot be built.
class ControlClasses {
public:
    using Factory = std::function<std::unique_ptr<Control>(std::string name, std::optional<std::int32_t> index)>;

    // Registering a class name twice is an error.
    static void Register(const std::string& className, Factory factory);
    static bool IsRegistered(const std::string& className);
    static std::unique_ptr<Control> Create(const std::string& className, std::string name,
                                           std::optional<std::int32_t> index);
};

}  // namespace vor
