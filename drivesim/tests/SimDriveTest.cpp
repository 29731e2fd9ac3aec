#include <gtest/gtest.h>

#include "drivesim/SimDrive.h"

namespace vor {
namespace {

TEST(SimDrive, Loads) {
    auto drive = SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    EXPECT_EQ(drive->Name(), "Rotary brushless servo drive");
}

}  // namespace
}  // namespace vor
