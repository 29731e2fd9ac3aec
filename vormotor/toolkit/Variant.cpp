#include "vormotor/toolkit/Variant.h"

#include <cmath>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor {
namespace {

[[noreturn]] void ThrowTypeMismatch() {
    throw Error(error_number::TypeMismatch, "VorMotorCtl", "Type mismatch");
}

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// clang 14 does not deduce aggregate template arguments yet.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

}  // namespace

std::string VariantToText(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](bool flag) { return std::string(flag ? "True" : "False"); },
                          [](std::int64_t number) { return DecimalText(number); },
                          [](double number) { return DoubleText(number); },
                          [](const std::string& text) { return text; },
                          [](const auto&) -> std::string { ThrowTypeMismatch(); },
                      },
                      value);
}

bool VariantToBool(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return false; },
                          [](bool flag) { return flag; },
                          [](std::int64_t number) { return number != 0; },
                          [](double number) { return number != 0.0; },
                          [](const std::string& text) -> bool {
                              if (text == "True") {
                                  return true;
                              }
                              if (text == "False") {
                                  return false;
                              }
                              ThrowTypeMismatch();
                          },
                          [](const auto&) -> bool { ThrowTypeMismatch(); },
                      },
                      value);
}

std::int64_t VariantToInteger(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) -> std::int64_t { return 0; },
                          // The platform's True is -1.
                          [](bool flag) -> std::int64_t { return flag ? -1 : 0; },
                          [](std::int64_t number) { return number; },
                          [](double number) -> std::int64_t {
                              if (!std::isfinite(number) || std::fabs(number) > 9.0e15) {
                                  throw Error(error_number::Overflow, "VorMotorCtl", "Overflow");
                              }
                              return static_cast<std::int64_t>(RoundHalfEven(number));
                          },
                          [](const auto&) -> std::int64_t { ThrowTypeMismatch(); },
                      },
                      value);
}

double VariantToDouble(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](bool flag) { return flag ? -1.0 : 0.0; },
                          [](std::int64_t number) { return static_cast<double>(number); },
                          [](double number) { return number; },
                          [](const auto&) -> double { ThrowTypeMismatch(); },
                      },
                      value);
}

float VariantToSingle(const Variant& value) {
    return static_cast<float>(VariantToDouble(value));
}

std::shared_ptr<Dispatch> VariantToObject(const Variant& value) {
    if (const auto* object = std::get_if<std::shared_ptr<Dispatch>>(&value)) {
        return *object;
    }
    ThrowTypeMismatch();
}

const ObjectList& VariantToObjectList(const Variant& value) {
    if (const auto* list = std::get_if<ObjectList>(&value)) {
        return *list;
    }
    ThrowTypeMismatch();
}

}  // namespace vor
