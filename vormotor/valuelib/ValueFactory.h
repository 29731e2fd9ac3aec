#pragma once

#include <memory>

#include "vormotor/contracts/ValueObject.h"
#include "vormotor/valuelib/ValueHost.h"

namespace vor::valuelib {

// Makes the values a user of the library builds for itself. A fresh value holds 0, has the
// limits of a signed 32-bit number, no fields, and refuses writes until its content's
// SetupFlag is set.
class ValueFactory {
public:
    static std::shared_ptr<ValueObject> Create();

    // The host that values made from now on report to (none by default); returns the previous one.
    static std::shared_ptr<ValueHost> SetHost(std::shared_ptr<ValueHost> host);
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ValueFactory;
}  // namespace vor
