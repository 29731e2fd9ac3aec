#include "vormotor/drivemodel/DriveWrite.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace vor::model {

std::string DriveWrite::Json() const {
    nlohmann::ordered_json json;
    if (kind == Kind::DriveEnabled) {
        json["driveEnabled"] = value != 0;
        return json.dump();
    }
    json["param"] = param;
    if (kind == Kind::Field) {
        json["field"] = field;
    }
    // Whole numbers print without a fraction, as a drive would show them.
    if (std::trunc(value) == value && std::fabs(value) < 9.0e15) {
        json["value"] = static_cast<std::int64_t>(value);
    } else {
        json["value"] = value;
    }
    return json.dump();
}

}  // namespace vor::model
