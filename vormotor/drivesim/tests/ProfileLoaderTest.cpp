#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"

namespace vor {
namespace {

const std::vector<std::int32_t> kPanelParams = {7,  8,  18,  19,  20,  24,  25,  38,  39,  40, 41,
                                                42, 92, 116, 170, 201, 202, 203, 204, 206, 44, 33};

TEST(ShippedProfiles, TogetherHoldEveryParameterThePanelUses) {
    auto servo = SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    auto stepper = SimDrive::Load(VOR_PROFILE_DIR "/stepper.json");
    for (const auto param : kPanelParams) {
        EXPECT_TRUE(servo->Node()->HasParam(param) || stepper->Node()->HasParam(param)) << param;
    }
    EXPECT_TRUE(servo->Node()->HasParam(44));
    EXPECT_FALSE(servo->Node()->HasParam(204));
    EXPECT_FALSE(stepper->Node()->HasParam(44));
    EXPECT_TRUE(stepper->Node()->HasParam(33));
    EXPECT_TRUE(stepper->Node()->HasParam(204));
}

class ShippedProfile : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedProfile, StartsReadyToWorkWith) {
    auto drive = SimDrive::Load(std::string(VOR_PROFILE_DIR "/") + GetParam());
    auto node = drive->Node();
    EXPECT_TRUE(node->IsOnline());
    EXPECT_FALSE(node->DriveEnabled());
    EXPECT_EQ(node->AccessLock()->Level(), 3);
    EXPECT_EQ(drive->Network()->AccessLock(), node->AccessLock());
    EXPECT_EQ(node->MotorTypes().size(), 7u);
    auto config = node->Param(170);
    for (const char* field : {"Motor Type", "Commutation Mode", "Encoder Mode", "Commutation Invert"}) {
        EXPECT_TRUE(config->Fields().Exists(field)) << field;
    }
    EXPECT_EQ(config->Fields().Item("Commutation Mode")->ValueNames().Keys(),
              (std::vector<std::int32_t>{0, 1, 2, 3, 4, 14, 15, 6, 7}));
    EXPECT_EQ(node->ParamTable().Count(), static_cast<std::int32_t>(node->ParamTable().Keys().size()));
    EXPECT_TRUE(drive->Writes().empty());
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedProfile, ::testing::Values("servo.json", "stepper.json"));

TEST(ShippedProfiles, ExpandTextFollowsTheMotorType) {
    auto drive = SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    const std::string caption = "Vector @*@ Loop Tuning";
    EXPECT_EQ(drive->Node()->ExpandText(caption), "Vector Torque Loop Tuning");
    drive->SetField(170, "Motor Type", 2);  // a linear motor
    EXPECT_EQ(drive->Node()->ExpandText(caption), "Vector Force Loop Tuning");
    drive->SetField(170, "Motor Type", 9);  // not in the catalogue
    EXPECT_EQ(drive->Node()->ExpandText(caption), "Vector Torque Loop Tuning");
}

struct Malformed {
    const char* what;
    std::string text;
    std::string message;
};

void PrintTo(const Malformed& c, std::ostream* out) {
    *out << c.what;
}

// The smallest profile that loads, with a hole where each case puts its parameters.
std::string Profile(const std::string& parameters, const std::string& more = "") {
    return R"({"name": "t", "parameters": [)" + parameters + "]" + more + "}";
}

const std::string kParam41 = R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1})";

class MalformedProfile : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedProfile, IsRefusedWithFilePlaceAndProblem) {
    try {
        ProfileLoader::Parse(GetParam().text, "bad.json");
        FAIL() << "loaded";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), ProfileLoader::kErrorNumber);
        EXPECT_EQ(error.Description(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedProfile,
    ::testing::Values(
        Malformed{"syntax", "{\"name\": \"t\",\n  \"parameters\": [,]}",
                  "bad.json: line 2, column 18: syntax error while parsing value - unexpected ','; expected '[', "
                  "'{', or a literal"},
        Malformed{"no name", R"({"parameters": []})", "bad.json: name: missing field"},
        Malformed{"no parameters", R"({"name": "t"})", "bad.json: parameters: missing field"},
        Malformed{"mistyped number", Profile(R"({"number": "41", "key": "Ke", "name": "Ke", "value": 1})"),
                  "bad.json: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found "
                  "\"41\""},
        Malformed{"fractional number", Profile(R"({"number": 4.5, "key": "Ke", "name": "Ke", "value": 1})"),
                  "bad.json: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found 4.5"},
        Malformed{"missing value", Profile(R"({"number": 41, "key": "Ke", "name": "Ke"})"),
                  "bad.json: parameters[0].value: missing field"},
        Malformed{"unknown key", Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1, "vale": 2})"),
                  "bad.json: parameters[0].vale: unknown field"},
        Malformed{"duplicate parameter", Profile(kParam41 + "," + kParam41),
                  "bad.json: parameters[1].number: duplicate parameter (first at parameters[0])"},
        Malformed{"too many decimals",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1, "decimals": 16})"),
                  "bad.json: parameters[0].decimals: expected -1 (as many as needed) to 15"},
        Malformed{"value outside limits",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 11, "upper": 10})"),
                  "bad.json: parameters[0].value: value 11 is outside the limits"},
        Malformed{"field wider than 32 bits", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 40}]})"),
                  "bad.json: parameters[0].fields[0].width: field wider than 32 bits (40)"},
        Malformed{"field past bit 31", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 30, "width": 4}]})"),
                  "bad.json: parameters[0].fields[0].firstBit: bits 30 to 33 do not lie within bits 0 to 31"},
        Malformed{"duplicate field", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 1},
                                         {"name": "f", "firstBit": 1, "width": 1}]})"),
                  "bad.json: parameters[0].fields[1].name: duplicate field name (first at parameters[0].fields[0])"},
        Malformed{"value name too wide", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 2,
                                          "values": [{"code": 4, "name": "four"}]}]})"),
                  "bad.json: parameters[0].fields[0].values[0].code: value 4 does not fit the field's 2 bits"},
        Malformed{"parameters not an array", R"({"name": "t", "parameters": {}})",
                  "bad.json: parameters: expected an array, found object"},
        Malformed{"motor type field missing", Profile(kParam41, R"(, "motorType": {"param": 41, "field": "X"})"),
                  "bad.json: motorType: no parameter 41 with a field \"X\""},
        Malformed{"unknown angle parameter", Profile(kParam41, R"(, "motion": {"angleParam": 44})"),
                  "bad.json: motion.angleParam: no parameter 44"},
        Malformed{"hall sequence", Profile(kParam41, R"(, "motion": {"hallSequence": [1, 3, 2, 6, 4, 4]})"),
                  "bad.json: motion.hallSequence: expected the six sensor codes 1 to 6, each once"},
        Malformed{"duplicate motor type",
                  Profile(kParam41, R"(, "motorTypes": [{"code": 1, "name": "a"}, {"code": 1, "name": "b"}])"),
                  "bad.json: motorTypes[1].code: duplicate code (first at motorTypes[0])"},
        Malformed{"mistyped flag", Profile(kParam41, R"(, "node": {"online": "yes"})"),
                  "bad.json: node.online: expected true or false, found \"yes\""}));

TEST(ProfileLoader, MissingFileIsNamed) {
    try {
        ProfileLoader::LoadFile("/nonexistent/drive.json");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Description(), "/nonexistent/drive.json: cannot be read");
    }
}

TEST(ProfileLoader, DefaultsOfAMinimalProfile) {
    const auto profile = ProfileLoader::Parse(Profile(kParam41), "min.json");
    SimDrive drive(profile);
    EXPECT_EQ(drive.AccessLevel(), 3);
    EXPECT_TRUE(drive.Node()->IsOnline());
    EXPECT_TRUE(drive.Network()->CommModeSelectable());
    EXPECT_EQ(drive.Node()->ExpandText("@*@"), "@*@");
    EXPECT_EQ(drive.Node()->Param(41)->Content().Text(), "1");
    EXPECT_EQ(drive.Node()->Param(41)->Info().Text(), "Ke");
}

}  // namespace
}  // namespace vor
