// libFuzzer target: whole scripts, run by the host as vormotor-host runs them, against the built-in
// servo drive (the stepper drive when the script starts with "# profile: stepper"). A failing
// command must end as an error answer; anything that escapes the host is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "apps/host/ScriptHost.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace {

vor::model::Profile Builtin(const std::string& name) {
    return vor::model::ProfileLoader::Parse(std::string(*vor::script::BuiltinProfile(name)), name + ".json");
}

const vor::model::Profile& DriveFor(const std::string& script) {
    static const vor::model::Profile servo = Builtin("servo");
    static const vor::model::Profile stepper = Builtin("stepper");
    return script.starts_with("# profile: stepper") ? stepper : servo;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vor::editors::EditorClasses::Register();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream script(text);
    std::ostringstream answers;
    vor::host::ScriptHost host(std::make_unique<vor::sim::SimDrive>(DriveFor(text)), answers);
    host.Run(script, false);
    return 0;
}
