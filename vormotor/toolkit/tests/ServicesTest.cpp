#include <gtest/gtest.h>

#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/ModalMessageBox.h"
#include "vormotor/toolkit/ModuleLocation.h"
#include "vormotor/toolkit/StringTable.h"

namespace vor {
namespace {

TEST(ModalMessageBox, WithoutAResponderTheAnswerIsCancel) {
    const auto previous = ModalMessageBox::SetResponder(nullptr);
    EXPECT_EQ(ModalMessageBox::Show({"prompt", "title", MessageBoxButtons::OkCancel, MessageBoxResult::Ok}),
              MessageBoxResult::Cancel);
    ModalMessageBox::SetResponder(previous);
}

TEST(StringTable, LoadsNumberedStringsAndFailsOnMissingOnes) {
    const StringTable table{{6134, "  Motor Settings"}, {6251, "T-R (T):\nR-S (S):\nS-T (R):"}};
    EXPECT_EQ(table.Load(6134), "  Motor Settings");
    EXPECT_EQ(table.Load(6251), "T-R (T):\nR-S (S):\nS-T (R):");
    for (std::int32_t missing : {6136, 0, 65536, -1}) {
        try {
            table.Load(missing);
            ADD_FAILURE() << missing;
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), error_number::ResourceNotFound);
        }
    }
    StringTable growing;
    EXPECT_THROW(growing.Add(70000, "too high"), Error);
    growing.Add(4192, "N/A");
    EXPECT_THROW(growing.Add(4192, "twice"), Error);
}

TEST(ApplicationCursor, CountsEverySetAndAnnouncesIt) {
    auto& cursor = ApplicationCursor::Instance();
    const auto before = cursor.SetCount();
    std::vector<std::int16_t> announced;
    auto connection = cursor.Changed().Connect([&](std::int16_t value) { announced.push_back(value); });
    cursor.Set(ApplicationCursor::Hourglass);
    cursor.Set(ApplicationCursor::Default);
    EXPECT_EQ(cursor.Get(), ApplicationCursor::Default);
    EXPECT_EQ(cursor.SetCount() - before, 2);
    EXPECT_EQ(announced, (std::vector<std::int16_t>{11, 0}));
}

TEST(ModuleLocation, FindsTheTestExecutable) {
    static const int marker = 0;
    const auto location = ModuleLocation::Containing(&marker);
    EXPECT_EQ(location.baseName, "toolkit_tests");
    EXPECT_FALSE(location.directory.empty());
    EXPECT_NE(location.directory.back(), '/');
}

}  // namespace
}  // namespace vor
