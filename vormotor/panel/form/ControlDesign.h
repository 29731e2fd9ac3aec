#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "vormotor/toolkit/Font.h"

namespace vor {

enum class ControlKind { Frame, Label, ComboBox, Line, Tarvine, Sorvane };

// Stored properties of a parameter editor.
struct TarvineDesign {
    std::string_view paramKey = {};
    std::int32_t parameter = 0;
    float editorWidth = 0;
};

// Stored properties of a field radio group; the key and parameter are absent on a group the
// panel binds itself.
struct SorvaneDesign {
    std::string_view paramFieldKey = {};
    std::optional<std::int32_t> parameter = std::nullopt;
    std::optional<std::int32_t> orientation = std::nullopt;
};

// One control of a form as designed: where it sits, what it shows and how it looks.
// Lines use x1..y2 instead of the rectangle.
struct ControlDesign {
    std::string_view name = {};
    std::optional<std::int32_t> index = std::nullopt;
    ControlKind kind = ControlKind::Label;
    std::string_view container = {};  // empty: the panel surface
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
    std::string_view caption = {};
    std::optional<Font> font = std::nullopt;  // empty: the panel's font
    std::optional<std::uint32_t> foreColor = std::nullopt;
    std::optional<std::uint32_t> backColor = std::nullopt;
    std::optional<std::uint32_t> borderColor = std::nullopt;
    std::int32_t borderWidth = 1;
    std::int32_t helpContextId = 0;
    TarvineDesign tarvine = {};
    SorvaneDesign sorvane = {};
};

}  // namespace vor
