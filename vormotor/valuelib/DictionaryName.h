#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "vormotor/valuelib/Operation.h"

namespace vor::valuelib {

// The dictionary's name names its operations ("Fields" those from "Fields.Count" to
// "Fields.Items"); they are found while compiling, as a call site's own, since values and
// their dictionaries are made anew at every attach.
class DictionaryName {
public:
    template <std::size_t N>
    consteval DictionaryName(const char (&name)[N]) : DictionaryName(std::string_view(name, N - 1)) {}

    std::array<OperationId, 6> operations;

private:
    consteval explicit DictionaryName(std::string_view name)
        : operations{Operation(name, "Count"),     Operation(name, "Item"), Operation(name, "Exists"),
                     Operation(name, "RemoveAll"), Operation(name, "Keys"), Operation(name, "Items")} {}

    static consteval OperationId Operation(std::string_view name, std::string_view member) {
        const auto operation = OperationId::Named(name, member);
        if (!operation) {
            throw "a dictionary of the libraries with an unlisted name";
        }
        return *operation;
    }
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::DictionaryName;
}  // namespace vor
