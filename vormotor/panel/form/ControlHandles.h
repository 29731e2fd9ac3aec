#pragma once

#include <array>
#include <vector>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/contracts/Tarvine.h"
#include "vormotor/panel/form/EditorHandle.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Form.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"

namespace vor {

// The controls the panel's logic talks to, found once right after the form is built: a control's
// name, index and class never change afterwards, so no attach, tick or event looks one up by name.
struct ControlHandles {
    explicit ControlHandles(const Form& form);

    Frame& motorFrame;
    Frame& commSensorFrame;
    Frame& stepperFrame;
    Frame& jamFrame;
    Frame& trqLoopTuneFrame;
    ComboBox& motorStyleCombo;
    ComboBox& commModeCombo;
    ComboBox& microstepCombo;
    Label& commOptionLbl;
    Label& commutationLbl;
    Label& transLbl;
    Label& bitDisplayLbl;
    std::array<Line*, 2> mtrFeatureLine;
    EditorHandle<Sorvane> sensorlessRadioGrp;
    EditorHandle<Tarvine> motorPoles;  // ParamItem(9)
    // The elements of the control arrays of editors, in the order of their indexes.
    std::vector<Control*> paramItem;
    std::vector<Control*> configRadioGrp;
};

}  // namespace vor
