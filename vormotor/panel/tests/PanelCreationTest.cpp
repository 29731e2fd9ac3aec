// A process of its own: nothing has registered the editor classes before these tests create a panel.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ControlClasses.h"

namespace vor {
namespace {

std::map<std::string, int> TypeCounts(const Form& form) {
    std::map<std::string, int> counts;
    for (const Control* control : form.Controls()) {
        ++counts[control->TypeName()];
    }
    return counts;
}

// One story, in order: the registrations it checks last for the life of the process.
TEST(PanelCreation, RegistersTheEditorClassesItNeedsAndKeepsTheHostsOwn) {
    ASSERT_FALSE(ControlClasses::IsRegistered("SorvaneCtl.Sorvane"));
    int hostEditors = 0;
    ControlClasses::Register("TarvineCtl.Tarvine", [&hostEditors](std::string name, std::optional<std::int32_t> index) {
        ++hostEditors;
        return std::unique_ptr<Control>(std::make_unique<TarvineEditor>(std::move(name), index));
    });

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
}

}  // namespace
}  // namespace vor
