#include "vormotor/panel/form/MotorFormDesign.h"

#include <array>

#include "vormotor/toolkit/Colors.h"

namespace vor {
namespace {

constexpr float kEditorHeight = 315;

const Font kFrameFont{"Arial", 8.25f, true, false};

ControlDesign FrameRow(std::string_view name, std::string_view container, float left, float top, float width,
                       float height, std::string_view caption) {
    return ControlDesign{.name = name,
                         .kind = ControlKind::Frame,
                         .container = container,
                         .left = left,
                         .top = top,
                         .width = width,
                         .height = height,
                         .caption = caption,
                         .font = kFrameFont};
}

ControlDesign LabelRow(std::string_view name, std::string_view container, float left, float top, float width,
                       float height, std::string_view caption, std::optional<Font> font = std::nullopt) {
    return ControlDesign{.name = name,
                         .kind = ControlKind::Label,
                         .container = container,
                         .left = left,
                         .top = top,
                         .width = width,
                         .height = height,
                         .caption = caption,
                         .font = std::move(font)};
}

ControlDesign ListRow(std::string_view name, std::string_view container, float left, float top, float width) {
    return ControlDesign{.name = name,
                         .kind = ControlKind::ComboBox,
                         .container = container,
                         .left = left,
                         .top = top,
                         .width = width,
                         .height = 315};
}

ControlDesign EditorRow(std::int32_t index, std::string_view container, float left, float top, float width,
                        std::string_view paramKey, std::int32_t parameter, float editorWidth, std::int32_t help) {
    return ControlDesign{.name = "ParamItem",
                         .index = index,
                         .kind = ControlKind::Tarvine,
                         .container = container,
                         .left = left,
                         .top = top,
                         .width = width,
                         .height = kEditorHeight,
                         .caption = "N/A",
                         .helpContextId = help,
                         .tarvine = {paramKey, parameter, editorWidth}};
}

ControlDesign RadioRow(std::string_view name, std::optional<std::int32_t> index, std::string_view container, float left,
                       float top, float width, float height, SorvaneDesign sorvane) {
    return ControlDesign{.name = name,
                         .index = index,
                         .kind = ControlKind::Sorvane,
                         .container = container,
                         .left = left,
                         .top = top,
                         .width = width,
                         .height = height,
                         .sorvane = sorvane};
}

ControlDesign EdgeLineRow(std::int32_t index, float x1, float y1, float x2, float y2) {
    return ControlDesign{.name = "mtrFeatureLine",
                         .index = index,
                         .kind = ControlKind::Line,
                         .container = "MotorFrame",
                         .x1 = x1,
                         .y1 = y1,
                         .x2 = x2,
                         .y2 = y2,
                         .borderColor = colors::Rgb(192, 0, 0),
                         .borderWidth = 5};
}

ControlDesign WithColors(ControlDesign row, std::optional<std::uint32_t> fore, std::optional<std::uint32_t> back) {
    row.foreColor = fore;
    row.backColor = back;
    return row;
}

ControlDesign WithFont(ControlDesign row, std::optional<Font> font) {
    row.font = std::move(font);
    return row;
}

const std::array<ControlDesign, 40>& Controls() {
    static const std::array<ControlDesign, 40> controls{
        WithColors(FrameRow("MotorFrame", "", 0, 15, 12015, 5205, ":6134:Motor Settings"), colors::Rgb(128, 0, 0),
                   std::nullopt),
        FrameRow("EncoderFrame", "MotorFrame", 3330, 210, 3855, 1830, ":6136:Encoder Info"),
        EditorRow(13, "EncoderFrame", 90, 260, 3675, "EncDens", 18, 1200, 2036),
        EditorRow(30, "EncoderFrame", 90, 650, 3675, "EncResol", 19, 1200, 2037),
        EditorRow(31, "EncoderFrame", 90, 1040, 3705, "SpdLim", 42, 1200, 2038),
        EditorRow(1, "EncoderFrame", 90, 1430, 3705, "SpdLim", 116, 1200, 2038),
        FrameRow("MotorNamePlateFrame", "MotorFrame", 210, 210, 3045, 2260, ":6121:Name Plate Data"),
        ListRow("MotorStyleCombo", "MotorNamePlateFrame", 90, 260, 2865),
        EditorRow(9, "MotorNamePlateFrame", 90, 650, 2900, "Poles", 20, 800, 2015),
        EditorRow(10, "MotorNamePlateFrame", 90, 1430, 2900, "MtrTC", 39, 800, 2035),
        EditorRow(11, "MotorNamePlateFrame", 90, 1040, 2900, "MtrOhms", 38, 800, 2016),
        EditorRow(12, "MotorNamePlateFrame", 90, 1820, 2900, "Ke", 41, 800, 2002),
        FrameRow("JamFrame", "MotorFrame", 210, 3540, 3045, 675, "RMS time <from parameter>"),
        EditorRow(18, "JamFrame", 90, 240, 2900, "RMStime", 25, 800, 2014),
        FrameRow("CommSensorFrame", "MotorFrame", 3330, 2150, 3855, 2945, ":6125:Initial Commutation Sensors Handling"),
        WithColors(
            WithFont(FrameRow("HallNumberFrame", "CommSensorFrame", 1500, 1730, 2265, 1125, ":6137:Current State"),
                     std::nullopt),
            colors::Black, std::nullopt),
        LabelRow("transLbl", "HallNumberFrame", 1470, 675, 465, 255, "?->?"),
        WithColors(LabelRow("CommutationLbl", "HallNumberFrame", 1745, 235, 495, 240, ":6252:N/A",
                            Font{"Arial", 9.75f, true, false}),
                   colors::WindowText, colors::Rgb(192, 192, 192)),
        LabelRow("AngleLbl", "HallNumberFrame", 1190, 235, 525, 225, ":6250:Angle", Font{"Arial", 9.0f, false, false}),
        LabelRow("HallLbl", "HallNumberFrame", 150, 235, 705, 735, ":6251:R-T(T)", Font{"Arial", 9.75f, false, false}),
        LabelRow("BitDisplayLbl", "HallNumberFrame", 885, 235, 305, 795, ":6253:", Font{"Arial", 9.75f, true, false}),
        ListRow("CommModeCombo", "CommSensorFrame", 90, 835, 3675),
        RadioRow("ConfigRadioGrp", 3, "CommSensorFrame", 90, 1730, 1365, 885, {"Commutation Invert", 170, 1}),
        EditorRow(0, "CommSensorFrame", 90, 1305, 3645, "Poles", 92, 800, 2015),
        RadioRow("SensorlessRadioGrp", std::nullopt, "CommSensorFrame", 90, 190, 3675, 520, {}),
        LabelRow("CommOptionLbl", "CommSensorFrame", 90, 2400, 3675, 330, "CommModeLbl"),
        FrameRow("OverloadFrame", "MotorFrame", 210, 2670, 3045, 675, ":2216:RMS Overload"),
        EditorRow(17, "OverloadFrame", 90, 240, 2900, "RMSlim", 24, 800, 2013),
        FrameRow("trqLoopTuneFrame", "MotorFrame", 210, 4420, 3045, 675, ":6122:Vector Torque/Force Loop Tuning"),
        EditorRow(15, "trqLoopTuneFrame", 90, 240, 1380, "Kip", 7, 700, 2031),
        EditorRow(16, "trqLoopTuneFrame", 1620, 240, 1260, "Kii", 8, 700, 2030),
        FrameRow("StepperFrame", "MotorFrame", 7800, 2150, 3855, 2945, ":6128:StepperInfo"),
        ListRow("MicrostepCombo", "StepperFrame", 90, 1800, 3675),
        EditorRow(2, "StepperFrame", 90, 240, 3645, "StepTrq", 201, 800, 2015),
        EditorRow(3, "StepperFrame", 90, 630, 3645, "StepIdleTrq", 202, 800, 2015),
        EditorRow(4, "StepperFrame", 90, 1020, 3645, "StepAccTrq", 203, 800, 2015),
        RadioRow("ConfigRadioGrp", 4, "StepperFrame", 90, 2200, 3675, 545, {"Encoder Mode", 170, std::nullopt}),
        EditorRow(5, "StepperFrame", 90, 1410, 3645, "StepTrqChgTC", 206, 800, 2015),
        EdgeLineRow(0, 90, 180, 90, 5055),
        EdgeLineRow(1, 7290, 165, 7290, 5085),
    };
    return controls;
}

}  // namespace

std::span<const ControlDesign> MotorFormControls() {
    return Controls();
}

}  // namespace vor
