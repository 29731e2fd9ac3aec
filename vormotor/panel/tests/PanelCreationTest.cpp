// A process of its own: nothing has registered the editor classes before this host registers them.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ControlClasses.h"
#include "vormotor/toolkit/GenericControl.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor {
namespace {

constexpr std::int32_t kForeignEditor = 9;

std::map<std::string, int> TypeCounts(const Form& form) {
    std::map<std::string, int> counts;
    for (const Control* control : form.Controls()) {
        ++counts[control->TypeName()];
    }
    return counts;
}

// One story, in order: the registrations it checks last for the life of the process.
TEST(PanelCreation, BuildsWithTheEditorClassesTheHostRegisteredAndKeepsTheHostsOwn) {
    ASSERT_FALSE(ControlClasses::IsRegistered("SorvaneCtl.Sorvane"));
    // The panel registers nothing itself.
    EXPECT_THROW(MotorForm::Create(), Error);
    static int hostEditors = 0;
    // The host's own editor class; in the place of ParamItem(9) it puts a control of its own that
    // carries the editor's type name and stored properties but not the editor's interface.
    ControlClasses::Register("TarvineCtl.Tarvine", [](std::string name, std::optional<std::int32_t> index) {
        ++hostEditors;
        if (index != kForeignEditor) {
            return std::unique_ptr<Control>(std::make_unique<editors::TarvineEditor>(std::move(name), index));
        }
        auto foreign = std::make_unique<GenericControl>("Tarvine", std::move(name), index);
        for (const char* property : {"paramkey", "parameter", "caption", "captionfont", "font", "editorwidth"}) {
            foreign->Properties().Define(property, Variant{});
        }
        return std::unique_ptr<Control>(std::move(foreign));
    });
    editors::EditorClasses::Register();

    auto created = std::dynamic_pointer_cast<MotorForm>(CreatePanel(kMotorFormClass));
    ASSERT_NE(created, nullptr);
    const auto types = TypeCounts(created->GetForm());
    EXPECT_EQ(hostEditors, types.at("Tarvine"));
    EXPECT_GT(types.at("Tarvine"), 0);
    EXPECT_GT(types.at("Sorvane"), 0);
    EXPECT_TRUE(ControlClasses::IsRegistered("SorvaneCtl.Sorvane"));

    // Every later panel is built the same way.
    const auto second = MotorForm::Create();
    EXPECT_EQ(TypeCounts(second->GetForm()), types);
    EXPECT_EQ(hostEditors, 2 * types.at("Tarvine"));

    // The binding and the walk pass over the foreign control and decide every other one.
    auto drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    const auto previousHost = valuelib::ValueFactory::SetHost(drive->Host());
    auto& foreign = second->GetForm().Find("ParamItem", kForeignEditor);
    foreign.SetTabStop(true);
    second->AttachControl(drive->Network(), drive->Node(), nullptr, "", "");
    second->SetEnabled(false);
    EXPECT_TRUE(foreign.TabStop());
    EXPECT_FALSE(second->GetForm().Find("ParamItem", kForeignEditor + 1).Enabled());
    EXPECT_FALSE(second->GetForm().Find("CommutationLbl").Enabled());
    second->ReleaseControl();
    valuelib::ValueFactory::SetHost(previousHost);
}

}  // namespace
}  // namespace vor
