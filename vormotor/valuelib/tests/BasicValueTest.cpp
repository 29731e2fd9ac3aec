#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/valuelib/BasicValue.h"
#include "vormotor/valuelib/ValueFactory.h"
#include "vormotor/valuelib/tests/RecordingHost.h"

namespace vor::valuelib {
namespace {

BasicValue::Setup Param(std::int32_t number, double value) {
    BasicValue::Setup setup;
    setup.param = number;
    setup.name = "RMS Time";
    setup.number = value;
    setup.lowerLimit = 0;
    setup.upperLimit = 100;
    setup.writable = true;
    return setup;
}

// Records the events of a value in the order they arrive.
struct EventLog {
    explicit EventLog(ValueObject& value) {
        connections.push_back(
            value.ContentChanged().Connect([this](double n) { lines.push_back("content " + Text(n)); }));
        connections.push_back(value.Changed().Connect([this](double n) { lines.push_back("changed " + Text(n)); }));
    }
    static std::string Text(double n) { return std::to_string(static_cast<long long>(n)); }
    std::vector<std::string> lines;
    std::vector<Connection> connections;
};

// Read right after the writes: the events arrive before a write returns.
TEST(BasicValue, EventsFireOncePerRealChangeInOrder) {
    auto value = BasicValue::Create(Param(25, 10));
    EventLog log(*value);
    for (double n : {10.0, 20.0, 20.0, 30.0, 30.0}) {
        value->Content().SetNumber(n);
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"content 20", "changed 20", "content 30", "changed 30"}));
}

struct Refusal {
    const char* what;
    double number;
    std::int32_t setupA;
    bool writable;
    const char* message;
};

class RefusedNumber : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedNumber, ChangesNothingAndLogsNothing) {
    const auto& c = GetParam();
    auto host = std::make_shared<testing::RecordingHost>();
    auto setup = Param(25, 10);
    setup.setupA = c.setupA;
    setup.writable = c.writable;
    auto value = BasicValue::Create(setup, host);
    EventLog log(*value);
    try {
        value->Content().SetNumber(c.number);
        FAIL() << c.what;
    } catch (const Error& error) {
        EXPECT_NE(error.Description().find(c.message), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("parameter 25 (RMS Time)"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(value->Content().Number(), 10);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(host->writes.empty());
}

INSTANTIATE_TEST_SUITE_P(Numbers, RefusedNumber,
                         ::testing::Values(Refusal{"NaN", std::nan(""), 0, true, "must be a number"},
                                           Refusal{"below", -0.5, 0, true, "outside the limits 0 to 100"},
                                           Refusal{"above", 100.25, 0, true, "outside the limits"},
                                           Refusal{"infinite", std::numeric_limits<double>::infinity(), 0, true,
                                                   "outside the limits"},
                                           Refusal{"fraction of a whole number", 2.5, 1, true, "whole number"},
                                           Refusal{"read-only", 20, 0, false, "read-only"}));

TEST(BasicValue, InfoIsAReadOnlyViewWithItsOwnText) {
    auto setup = Param(25, 2.5);
    setup.textFormat = "{value} s";
    setup.infoFormat = "{name}: {value} s";
    auto value = BasicValue::Create(setup);
    EXPECT_EQ(value->Content().Text(), "2.5 s");
    EXPECT_EQ(value->Info().Text(), "RMS Time: 2.5 s");
    EXPECT_EQ(value->Info().Number(), 2.5);
    EXPECT_THROW(value->Info().SetNumber(3), Error);
    EXPECT_THROW(value->Info().SetUpperLimit(3), Error);
    value->SetSetupB(2);
    EXPECT_EQ(value->Content().Text(), "2.50 s");
}

TEST(BasicValue, DriveChangesWaitUntilTheValueFollowsTheDrive) {
    auto setup = Param(7, 1);
    setup.followsDrive = false;
    auto value = BasicValue::Create(setup);
    EventLog log(*value);
    value->DriveSetNumber(2);
    value->DriveSetNumber(3);
    EXPECT_EQ(value->Content().Number(), 1);
    EXPECT_EQ(value->DriveNumber(), 3);
    value->Refresh();
    EXPECT_EQ(value->Content().Number(), 3);
    value->DriveSetNumber(4);
    value->StartUpdates();
    value->DriveSetNumber(5);
    value->Refresh();
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"content 3", "changed 3", "content 4", "changed 4", "content 5", "changed 5"}));
    EXPECT_THROW(value->DriveSetNumber(101), Error);
}

TEST(BasicValue, HostSeesEveryCallAndEachAcceptedWrite) {
    auto host = std::make_shared<testing::RecordingHost>();
    auto value = BasicValue::Create(Param(170, 0), host);
    value->AddField("Motor Type", 0, 4, "");
    auto field = value->Fields().Item("Motor Type");
    field->SetValue(2);
    field->SetValue(2);
    value->Content().SetNumber(3);
    EXPECT_THROW(field->SetValue(99), Error);
    EXPECT_EQ(host->writes,
              (std::vector<std::string>{"Field.SetValue 170 Motor Type = 2", "Field.SetValue 170 Motor Type = 2",
                                        "Content.SetNumber 170 = 3"}));
    EXPECT_EQ(host->calls.front(), "Value.AddField 170");
    EXPECT_EQ(host->calls.at(2), "Fields.Item 170");
    EXPECT_EQ(host->calls.at(3), "Field.SetValue 170 Motor Type");
}

TEST(BasicValue, AHandlerMayDropTheLastReference) {
    auto value = BasicValue::Create(Param(25, 1));
    value->AddField("f", 0, 2, "");
    auto field = value->Fields().Item("f");
    std::shared_ptr<BasicValue> holder = value;
    value.reset();
    int views = 0;
    auto c1 = holder->Changed().Connect([&](double) {
        holder.reset();
        field.reset();
    });
    auto& content = holder->Content();
    auto c2 = field->UpdateView().Connect([&](FieldObject&) { ++views; });
    content.SetNumber(2);
    EXPECT_EQ(holder, nullptr);
    EXPECT_EQ(views, 1);
}

// The derived value a panel builds for itself: a sensor choice in bit 0 and a mode in bits 1 to 4.
TEST(ValueFactory, BuildsAWorkingValueOfItsUsersOwn) {
    auto value = ValueFactory::Create();
    EXPECT_THROW(value->Content().SetNumber(1), Error);  // not set up yet
    value->SetSetupA(1);
    value->SetSetupB(0);
    value->SetSetupC(26);
    value->Content().SetLowerLimit(-2147483648.0);
    value->Content().SetUpperLimit(2147483647.0);
    value->Content().SetSetupFlag(true);
    value->AddField("", 0, 1, "");
    value->AddField("Init Options", 1, 4, "");
    auto sensorless = value->Fields().Item("");
    auto options = value->Fields().Item("Init Options");
    std::vector<double> changes;
    auto c = value->Changed().Connect([&](double n) { changes.push_back(n); });
    for (std::int32_t mode : {4, 5, 15}) {
        options->SetValue(mode);
        sensorless->SetValue(mode < 5 ? 0 : 1);
    }
    EXPECT_EQ(changes, (std::vector<double>{8, 10, 11, 31}));
    EXPECT_EQ(value->Content().Text(), "31");
    EXPECT_EQ(value->SetupC(), 26);
}

}  // namespace
}  // namespace vor::valuelib
