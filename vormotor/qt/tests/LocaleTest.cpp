#include <gtest/gtest.h>

#include <QComboBox>
#include <QLocale>
#include <cstdlib>
#include <memory>
#include <string>

#include "vormotor/core/Conversions.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::qt {
namespace {

// Qt's numbers and the component's come from the user's environment alike. The suite runs this
// once more under a German locale with VOR_EXPECTED_DECIMAL_SEPARATOR set.
TEST(QtLocale, WidgetsShowNumbersWithTheUsersDecimalSeparator) {
    const char* expected = std::getenv("VOR_EXPECTED_DECIMAL_SEPARATOR");
    const std::string separator = expected != nullptr ? expected : ".";
    ASSERT_EQ(UserDecimalSeparator(), separator) << "the environment's locale was not loaded";
    EXPECT_EQ(QLocale().decimalPoint(), QString::fromStdString(separator));

    editors::EditorClasses::Register();
    auto profile = model::ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/stepper.json");
    for (auto& parameter : profile.parameters) {
        if (parameter.number == 204) {
            parameter.whole = false;
            parameter.value = 2500.5;
        }
    }
    sim::SimDrive drive(profile);
    const auto previousHost = valuelib::ValueFactory::SetHost(drive.Host());
    auto panel = MotorForm::Create();
    PanelView view(panel->GetForm());
    panel->AttachControl(drive.Network(), drive.Node(), nullptr, "", "");
    drive.RaiseTimerTick();
    const auto* combo = dynamic_cast<QComboBox*>(view.WidgetOf(&panel->GetForm().Find("MicrostepCombo")));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText().toStdString(), "Unsupported 2500" + separator + "5");
    panel->ReleaseControl();
    valuelib::ValueFactory::SetHost(previousHost);
}

}  // namespace
}  // namespace vor::qt
