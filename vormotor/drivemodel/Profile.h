#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vor::model {

// Everything a drive model starts from, as read from a profile file (docs/profile.md).
struct Profile {
    struct ValueName {
        std::int32_t code;
        std::string name;
        bool visible;
    };
    struct Field {
        std::string name;
        std::int32_t firstBit;
        std::int32_t width;
        std::string text;
        bool editable;
        std::vector<ValueName> values;
    };
    struct Parameter {
        std::int32_t number;
        std::string key;
        std::string name;
        double value;
        double lowerLimit;
        double upperLimit;
        std::string text;
        std::string info;
        std::int32_t lockLevel;
        bool writable;
        bool whole;
        std::int32_t decimals;
        std::vector<Field> fields;
    };
    struct CatalogEntry {
        std::int32_t code;
        std::string name;
        bool visible;
        bool linear;  // motor types only: a linear motor
    };
    struct Expansion {
        std::string marker;
        std::string rotary;
        std::string linear;
    };

    std::string name;
    // Network and application.
    std::int32_t accessLevel;
    bool techSupport;
    bool commModeSelectable;
    std::int32_t traceFlags;
    // Node.
    bool online;
    bool driveEnabled;
    std::int32_t nodeState;
    double inputWord;
    std::int32_t motorTypeParam;
    std::string motorTypeField;
    std::vector<CatalogEntry> motorTypes;
    std::vector<CatalogEntry> microsteps;
    std::vector<Expansion> expansions;
    std::vector<Parameter> parameters;
    // Motion model.
    std::optional<std::int32_t> angleParam;
    double angleStep;
    std::vector<std::int32_t> hallSequence;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::Profile;
}  // namespace vor
