#include "vormotor/editors/EditorSupport.h"

#include <limits>
#include <variant>

#include "vormotor/core/Error.h"

namespace vor::editors {

void EditorSupport::CheckReachable(const Control& control) {
    if (!control.EffectiveVisible() || !control.EffectiveEnabled()) {
        throw Error(error_number::InvalidPropertyValue, control.TypeName(),
                    "The editor " + control.Name() + " cannot be operated now (hidden or disabled).");
    }
}

Variant EditorSupport::ParameterToVariant(const std::optional<std::int32_t>& parameter) {
    return parameter ? Variant(std::int64_t{*parameter}) : Variant();
}

std::optional<std::int32_t> EditorSupport::ParameterFromVariant(const Variant& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        return std::nullopt;
    }
    const std::int64_t number = VariantToInteger(value);
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max()) {
        throw Error(error_number::Overflow, "editors", "Overflow");
    }
    return static_cast<std::int32_t>(number);
}

}  // namespace vor::editors
