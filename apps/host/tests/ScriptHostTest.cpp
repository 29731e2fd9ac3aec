#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "apps/host/ScriptHost.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace vor::host {
namespace {

// A host on the servo drive with its panel shown and attached, as a script leaves it.
class ScriptHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        editors::EditorClasses::Register();
        auto drive = std::make_unique<sim::SimDrive>(
            model::ProfileLoader::Parse(std::string(*script::BuiltinProfile("servo")), "servo"));
        m_drive = drive.get();
        m_host = std::make_unique<ScriptHost>(std::move(drive), m_out);
        std::istringstream setup("create\nshow\nresize 12285 5460\nattach\n");
        ASSERT_TRUE(m_host->Run(setup, true)) << m_out.str();
    }

    // What the host shows of the panel and the drive.
    std::string Snapshot() {
        m_out.str("");
        for (const char* answer : {"dump", "writes", "state", "cursor", "props"}) {
            EXPECT_TRUE(m_host->RunLine(answer, 0));
        }
        return m_out.str() + "input word " + std::to_string(m_drive->InputWord());
    }

    std::string Answer(const std::string& line, std::int32_t lineNumber, bool& succeeded) {
        m_out.str("");
        succeeded = m_host->RunLine(line, lineNumber);
        return m_out.str();
    }

    std::ostringstream m_out;
    sim::SimDrive* m_drive = nullptr;
    std::unique_ptr<ScriptHost> m_host;
};

struct BadLine {
    std::string line;
    std::string error;
};

// Each line is refused with one error line naming the line number, and the panel and the drive stay
// as they were.
TEST_F(ScriptHostTest, BadLinesAreRefusedAndChangeNothing) {
    const BadLine cases[] = {
        {"drive.turn -2147483648", "a turn is at most 10000 steps either way"},
        {"drive.turn 10001", "a turn is at most 10000 steps either way"},
        {"drive.turn -10001", "a turn is at most 10000 steps either way"},
        {"drive.turn 4294967297", "'4294967297' does not fit 32 bits"},
        {"tick 10001", "at most 10000 ticks at a time"},
        {"tick 9223372036854775807", "at most 10000 ticks at a time"},
        {"resize 1e300 1e300", "a size is at most 1000000 twips"},
        {"resize 12285 1000000.5", "a size is at most 1000000 twips"},
        {"dump ParamItem(-2147483649)", "'-2147483649' does not fit 32 bits"},
        {"frob\xFF\xFE x", "invalid UTF-8 at byte 5"},
    };
    const std::string before = Snapshot();
    for (const auto& [line, error] : cases) {
        bool succeeded = true;
        EXPECT_EQ(Answer(line, 7, succeeded), "{\"error\":\"line 7: " + error + "\"}\n") << line;
        EXPECT_FALSE(succeeded) << line;
        EXPECT_EQ(Snapshot(), before) << line;
    }
}

// The bounds themselves are allowed.
TEST_F(ScriptHostTest, LinesAtTheBoundsRun) {
    for (const char* line : {"tick 10000", "drive.turn 10000", "drive.turn -10000", "resize 1000000 1000000",
                             "resize 0 0", "dump ParamItem(13)", "drive.microsteps 2500=\xE2\x82\xAC"}) {
        bool succeeded = false;
        const std::string answer = Answer(line, 1, succeeded);
        EXPECT_TRUE(succeeded) << line << ": " << answer;
    }
}

}  // namespace
}  // namespace vor::host
