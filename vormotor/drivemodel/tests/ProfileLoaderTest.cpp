#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivemodel/ProfileLoader.h"

namespace vor::model {
namespace {

class ShippedProfile : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedProfile, StartsReadyToWorkWith) {
    auto drive = DriveModel::Load(std::string(VOR_PROFILE_DIR "/") + GetParam());
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

// The torque and force wordings of a catalogued type are the motor_type scenario's.
TEST(ShippedProfiles, ExpandTextOfATypeOutsideTheCatalogueIsTheRotaryOne) {
    auto drive = DriveModel::Load(VOR_PROFILE_DIR "/servo.json");
    const std::string caption = "Vector @*@ Loop Tuning";
    drive->SetField(170, "Motor Type", 2);  // a linear motor
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

std::string Repeated(const std::string& text, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// An array nested `depth` levels deep.
std::string Nested(std::size_t depth) {
    return Repeated("[", depth) + Repeated("]", depth);
}

// A parameter 41 whose `key` is `value`.
std::string Param41With(const std::string& key, const std::string& value) {
    return Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1, ")" + key + R"(": )" + value + "}");
}

const std::string kLong(100000, 'x');
const std::string kLongQuoted = "\"" + std::string(59, 'x') + "...";

class MalformedProfile : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedProfile, IsRefusedWithFilePlaceAndProblem) {
    try {
        ProfileLoader::Parse(GetParam().text, "bad.json");
        FAIL() << "loaded";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), ProfileLoader::kErrorNumber);
        EXPECT_EQ(error.Description(), GetParam().message);
        EXPECT_LE(error.Description().size(), 300u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedProfile,
    ::testing::Values(
        Malformed{"syntax", "{\"name\": \"t\",\n  \"parameters\": [,]}",
                  "bad.json: line 2, column 18: syntax error while parsing value - unexpected ','; expected '[', "
                  "'{', or a literal"},
        Malformed{"no name", R"({"parameters": []})", "bad.json: line 1: name: missing field"},
        Malformed{"no parameters", R"({"name": "t"})", "bad.json: line 1: parameters: missing field"},
        Malformed{
            "mistyped number", Profile(R"({"number": "41", "key": "Ke", "name": "Ke", "value": 1})"),
            "bad.json: line 1: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found "
            "\"41\""},
        Malformed{"fractional number", Profile(R"({"number": 4.5, "key": "Ke", "name": "Ke", "value": 1})"),
                  "bad.json: line 1: parameters[0].number: expected a whole number from -2147483648 to 2147483647, "
                  "found 4.5"},
        Malformed{"missing value", Profile(R"({"number": 41, "key": "Ke", "name": "Ke"})"),
                  "bad.json: line 1: parameters[0].value: missing field"},
        Malformed{"unknown key", Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1, "vale": 2})"),
                  "bad.json: line 1: parameters[0].vale: unknown field"},
        Malformed{"duplicate parameter", Profile(kParam41 + "," + kParam41),
                  "bad.json: line 1: parameters[1].number: duplicate parameter (first at parameters[0])"},
        Malformed{"too many decimals",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1, "decimals": 16})"),
                  "bad.json: line 1: parameters[0].decimals: expected -1 (as many as needed) to 15"},
        Malformed{"value outside limits",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 11, "upper": 10})"),
                  "bad.json: line 1: parameters[0].value: value 11 is outside the limits"},
        Malformed{"field wider than 32 bits", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 40}]})"),
                  "bad.json: line 2: parameters[0].fields[0].width: field wider than 32 bits (40)"},
        Malformed{"field past bit 31", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 30, "width": 4}]})"),
                  "bad.json: line 2: parameters[0].fields[0].firstBit: bits 30 to 33 do not lie within bits 0 to 31"},
        Malformed{
            "duplicate field", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 1},
                                         {"name": "f", "firstBit": 1, "width": 1}]})"),
            "bad.json: line 3: parameters[0].fields[1].name: duplicate field name (first at parameters[0].fields[0])"},
        Malformed{"value name too wide", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 0, "width": 2,
                                          "values": [{"code": 4, "name": "four"}]}]})"),
                  "bad.json: line 3: parameters[0].fields[0].values[0].code: value 4 does not fit the field's 2 bits"},
        Malformed{"parameters not an array", R"({"name": "t", "parameters": {}})",
                  "bad.json: line 1: parameters: expected an array, found object"},
        Malformed{"motor type field missing", Profile(kParam41, R"(, "motorType": {"param": 41, "field": "X"})"),
                  "bad.json: line 1: motorType: no parameter 41 with a field \"X\""},
        Malformed{"unknown angle parameter", Profile(kParam41, R"(, "motion": {"angleParam": 44})"),
                  "bad.json: line 1: motion.angleParam: no parameter 44"},
        Malformed{"hall sequence", Profile(kParam41, R"(, "motion": {"hallSequence": [1, 3, 2, 6, 4, 4]})"),
                  "bad.json: line 1: motion.hallSequence: expected the six sensor codes 1 to 6, each once"},
        Malformed{"duplicate motor type",
                  Profile(kParam41, R"(, "motorTypes": [{"code": 1, "name": "a"}, {"code": 1, "name": "b"}])"),
                  "bad.json: line 1: motorTypes[1].code: duplicate code (first at motorTypes[0])"},
        Malformed{"mistyped flag", Profile(kParam41, R"(, "node": {"online": "yes"})"),
                  "bad.json: line 1: node.online: expected true or false, found \"yes\""},
        // The root object and 31 arrays are as deep as a profile may go.
        Malformed{"name nested 20000 deep", R"({"name": )" + Nested(20000) + "}",
                  "bad.json: line 1, column 41: name" + Repeated("[0]", 31) + ": nested deeper than 32 levels"},
        Malformed{"value nested 20000 deep",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": )" + Nested(20000) + "}"),
                  "bad.json: line 1, column 110: parameters[0].value" + Repeated("[0]", 29) +
                      ": nested deeper than 32 levels"},
        Malformed{"value as deep as allowed",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": )" + Nested(29) + "}"),
                  "bad.json: line 1: parameters[0].value: expected a number, found array"},
        Malformed{"value beyond a double", Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": 1e400})"),
                  "bad.json: line 1, column 86: parameters[0].value: number overflow parsing '1e400'"},
        Malformed{
            "number above 2^64", Profile(R"({"number": 18446744073709551615, "key": "Ke", "name": "Ke",
                                                   "value": 1})"),
            "bad.json: line 1: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found "
            "18446744073709551615"},
        Malformed{
            "number of 2^63", Profile(R"({"number": 9223372036854775808, "key": "Ke", "name": "Ke",
                                                "value": 1})"),
            "bad.json: line 1: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found "
            "9223372036854775808"},
        Malformed{
            "number of 2^32 + 41", Profile(R"({"number": 4294967337, "key": "Ke", "name": "Ke", "value": 1})"),
            "bad.json: line 1: parameters[0].number: expected a whole number from -2147483648 to 2147483647, found "
            "4294967337"},
        Malformed{
            "access level above 2^64", Profile(kParam41, R"(, "network": {"accessLevel": 18446744073709551615})"),
            "bad.json: line 1: network.accessLevel: expected a whole number from -2147483648 to 2147483647, found "
            "18446744073709551615"},
        Malformed{"node state of 2^31", Profile(kParam41, R"(, "node": {"nodeState": 2147483648})"),
                  "bad.json: line 1: node.nodeState: expected a whole number from -2147483648 to 2147483647, found "
                  "2147483648"},
        Malformed{
            "lock level below -2^31", Param41With("lockLevel", "-2147483649"),
            "bad.json: line 1: parameters[0].lockLevel: expected a whole number from -2147483648 to 2147483647, found "
            "-2147483649"},
        Malformed{
            "hall code above 2^64", Profile(kParam41, R"(, "motion": {"hallSequence": [1, 3, 2, 6, 4,
                                                                             18446744073709551615]})"),
            "bad.json: line 2: motion.hallSequence[5]: expected a whole number from -2147483648 to 2147483647, found "
            "18446744073709551615"},
        Malformed{"duplicate key at the top", R"({"name": "t", "name": "u", "parameters": []})",
                  "bad.json: line 1, column 20: name: duplicate key (first at line 1, column 7)"},
        Malformed{
            "duplicate key in a parameter",
            Profile("\n" + kParam41 + ",\n" + R"({"number": 42, "key": "K", "name": "K", "value": 1, "value": 2})"),
            "bad.json: line 3, column 59: parameters[1].value: duplicate key (first at line 3, column 47)"},
        Malformed{"field from bit 2^31 - 1", Profile(R"({"number": 170, "key": "C", "name": "C", "value": 0,
                              "fields": [{"name": "f", "firstBit": 2147483647, "width": 2}]})"),
                  "bad.json: line 2: parameters[0].fields[0].firstBit: bits 2147483647 to 2147483648 do not lie within "
                  "bits 0 "
                  "to 31"},
        Malformed{"long number beyond a double", Param41With("text", std::string(100000, '1')),
                  "bad.json: line 1, column 100092: parameters[0].text: number overflow parsing '" +
                      std::string(135, '1') + "..."},
        Malformed{"long text where a number belongs",
                  Profile(R"({"number": 41, "key": "Ke", "name": "Ke", "value": ")" + kLong + "\"}"),
                  "bad.json: line 1: parameters[0].value: expected a number, found " + kLongQuoted},
        Malformed{"long unknown key", Param41With(kLong, "1"),
                  "bad.json: line 1: parameters[0]." + std::string(60, 'x') + "...: unknown field"},
        Malformed{"long character cut whole", Param41With("text", "[\"" + Repeated("\u00e9", 100) + "\"]"),
                  "bad.json: line 1: parameters[0].text: expected a text, found array"},
        Malformed{"long unterminated text", R"({"name": ")" + kLong,
                  "bad.json: line 1, column 100011: syntax error while parsing value - invalid string: missing closing "
                  "quote; last read: '\"" +
                      std::string(73, 'x') + "..."},
        Malformed{"larger than allowed", std::string(16 * 1024 * 1024 + 1, ' '),
                  "bad.json: larger than 16777216 bytes"}));

// Objects nested as deep as allowed under keys of 100 characters: the place keeps its innermost end.
TEST(ProfileLoader, ALongPlaceIsCutToItsEnd) {
    const std::string key = "\"" + std::string(99, 'k') + "z\": ";
    const std::string text =
        R"({"name": )" + Repeated("{" + key, 30) + R"({}, "d": 1, "d": 2)" + Repeated("}", 30) + "}";
    try {
        ProfileLoader::Parse(text, "bad.json");
        FAIL() << "loaded";
    } catch (const Error& error) {
        const std::string& message = error.Description();
        EXPECT_TRUE(message.starts_with("bad.json: line 1, column 3174: ...k")) << message;
        EXPECT_TRUE(message.ends_with(std::string(59, 'k') + "....d: duplicate key (first at line 1, column 3166)"))
            << message;
        EXPECT_LE(message.size(), 300u);
    }
}

TEST(ProfileLoader, FileThatIsNoProfileIsNamed) {
    const std::pair<std::string, std::string> cases[] = {
        {"/nonexistent/drive.json", "/nonexistent/drive.json: cannot be read"},
        {VOR_PROFILE_DIR, VOR_PROFILE_DIR ": a folder, not a profile file"},
    };
    for (const auto& [path, message] : cases) {
        try {
            ProfileLoader::LoadFile(path);
            ADD_FAILURE() << path << " loaded";
        } catch (const Error& error) {
            EXPECT_EQ(error.Description(), message);
        }
    }
}

TEST(ProfileLoader, DefaultsOfAMinimalProfile) {
    const auto profile = ProfileLoader::Parse(Profile(kParam41), "min.json");
    DriveModel drive(profile);
    EXPECT_EQ(drive.AccessLevel(), 3);
    EXPECT_TRUE(drive.Node()->IsOnline());
    EXPECT_TRUE(drive.Network()->CommModeSelectable());
    EXPECT_EQ(drive.Node()->ExpandText("@*@"), "@*@");
    EXPECT_EQ(drive.Node()->Param(41)->Content().Text(), "1");
    EXPECT_EQ(drive.Node()->Param(41)->Info().Text(), "Ke");
}

}  // namespace
}  // namespace vor::model
