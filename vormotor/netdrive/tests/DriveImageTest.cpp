#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/netdrive/DriveImage.h"
#include "vormotor/netdrive/RegisterMap.h"

namespace vor::netdrive {
namespace {

// The copy of a drive as the network library keeps it: built from the same profile, brought up
// to the drive through its registers alone.
struct RoundTrip {
    model::Profile profile = model::ProfileLoader::LoadFile(VOR_PROFILE_DIR "/stepper.json");
    sim::SimDrive drive{profile};
    sim::SimDrive copy{profile};
    Registers inputs = Registers(reg::kInputRegisters);

    void Send() { Send(DriveImage::Capture(drive, profile)); }
    void Send(const DriveImage& image) {
        image.Encode(inputs.data());
        const auto read = [this](int address, int count) {
            return Registers(inputs.begin() + address, inputs.begin() + address + count);
        };
        DriveImage::Read(read).ApplyTo(copy, profile);
    }
};

struct Change {
    std::string what;
    std::function<void(sim::SimDrive&)> make;
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.what;
}

class DriveImageTest : public ::testing::TestWithParam<Change> {};

TEST_P(DriveImageTest, EveryChangeOfTheDriveReachesTheCopyThroughTheRegisters) {
    RoundTrip link;
    GetParam().make(link.drive);
    ASSERT_NE(DriveImage::Capture(link.copy, link.profile), DriveImage::Capture(link.drive, link.profile));
    link.Send();
    EXPECT_EQ(DriveImage::Capture(link.copy, link.profile), DriveImage::Capture(link.drive, link.profile));
}

// Numbers and fields, the lock, the enabled drive, inputs, the commutation option, trace flags, value
// names and a turning motor are played across the link by the host's scenarios.
INSTANTIATE_TEST_SUITE_P(
    Changes, DriveImageTest,
    ::testing::Values(Change{"LockLevel", [](sim::SimDrive& d) { d.SetLockLevel(204, 5); }},
                      Change{"FieldEditable", [](sim::SimDrive& d) { d.SetFieldEditable(170, "Motor Type", false); }},
                      Change{"MotorTypeVisible", [](sim::SimDrive& d) { d.SetMotorTypeVisible(4, false); }},
                      Change{"MicrostepVisible", [](sim::SimDrive& d) { d.SetMicrostepVisible(200, false); }},
                      Change{"Online", [](sim::SimDrive& d) { d.SetOnline(false); }},
                      Change{"NodeState", [](sim::SimDrive& d) { d.SetNodeState(-7); }}),
    [](const auto& info) { return info.param.what; });

TEST(DriveImageEventsTest, TheCopyRaisesTheEventsOfWhatChanged) {
    RoundTrip link;
    int contentChanged = 0;
    int updateView = 0;
    int lockChanged = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> transitions;
    auto motorConfig = link.copy.Node()->DriveParam(170);
    const Connection c1 = motorConfig->ContentChanged().Connect([&](double) { ++contentChanged; });
    const Connection c2 =
        motorConfig->FindField("Commutation Mode")->UpdateView().Connect([&](FieldObject&) { ++updateView; });
    const Connection c3 = link.copy.Network()->AccessLock()->Changed().Connect([&] { ++lockChanged; });
    const Connection c4 = link.copy.Node()->Io().CommutationChanged().Connect(
        [&](std::int32_t thisCode, std::int32_t lastCode) { transitions.emplace_back(thisCode, lastCode); });

    link.Send();  // nothing changed: nothing raised
    EXPECT_EQ(contentChanged + updateView + lockChanged, 0);
    EXPECT_TRUE(transitions.empty());

    const std::int32_t lastCode = model::ModelIo::SensorCode(link.drive.InputWord());
    link.drive.SetField(170, "Commutation Mode", 3);
    link.drive.SetAccessLevel(0);
    link.drive.SetInputWord(model::ModelIo::WithSensorCode(link.drive.InputWord(), lastCode == 5 ? 4 : 5));
    link.Send();
    EXPECT_EQ(contentChanged, 1);
    EXPECT_EQ(updateView, 1);
    EXPECT_EQ(lockChanged, 1);
    ASSERT_EQ(transitions.size(), 1u);
    EXPECT_EQ(transitions[0].second, lastCode);
}

TEST(DriveImageReadTest, TheCopyFollowsTheLiveDescriptionAndKeepsNumbersTheDriveCannotHold) {
    RoundTrip link;
    auto image = DriveImage::Capture(link.drive, link.profile);
    ASSERT_GE(image.params.size(), 3u);
    DriveImage::Param& described = image.params[0];
    described = {described.number, 40, 10, 50, 0, !described.writable, !described.whole, 3};
    image.params[1].value = std::nan("");
    image.params[2].value = image.params[2].upperLimit + 1;
    image.accessLevel = 3;
    const double second = link.copy.ParamNumber(image.params[1].number);
    const double third = link.copy.ParamNumber(image.params[2].number);
    link.Send(image);
    auto value = link.copy.Node()->DriveParam(described.number);
    EXPECT_EQ(value->Content().LowerLimit(), 10);
    EXPECT_EQ(value->Content().UpperLimit(), 50);
    EXPECT_EQ(value->Content().SetupFlag(), described.writable);
    EXPECT_EQ(value->SetupA() == 1, described.whole);
    EXPECT_EQ(value->SetupB(), 3);
    EXPECT_EQ(value->DriveNumber(), 40);
    EXPECT_EQ(link.copy.ParamNumber(image.params[1].number), second);
    EXPECT_EQ(link.copy.ParamNumber(image.params[2].number), third);
    EXPECT_EQ(link.copy.AccessLevel(), 3);
}

TEST(DriveImageReadTest, ARegisterMapOfAnotherVersionIsRefused) {
    Registers inputs(reg::kInputRegisters);
    inputs[reg::header::kAddress + reg::header::kVersion] = reg::kMapVersion + 1;
    const auto read = [&inputs](int address, int count) {
        return Registers(inputs.begin() + address, inputs.begin() + address + count);
    };
    EXPECT_THROW(DriveImage::Read(read), std::runtime_error);
}

}  // namespace
}  // namespace vor::netdrive
