#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vor {

class Dispatch;

using ObjectList = std::vector<std::shared_ptr<Dispatch>>;

// The value of a property read or written by name. Integers of every width (colours included)
// travel as int64, single and double precision as double.
using Variant =
    std::variant<std::monostate, bool, std::int64_t, double, std::string, std::shared_ptr<Dispatch>, ObjectList>;

// Coercions in the platform's manner; a value that cannot be coerced raises Type mismatch.
std::string VariantToText(const Variant& value);
bool VariantToBool(const Variant& value);
std::int64_t VariantToInteger(const Variant& value);
double VariantToDouble(const Variant& value);
// Single precision, as twips are stored.
float VariantToSingle(const Variant& value);
std::shared_ptr<Dispatch> VariantToObject(const Variant& value);
const ObjectList& VariantToObjectList(const Variant& value);

}  // namespace vor
