#include "vormotor/script/ProfileSource.h"

#include <filesystem>
#include <stdexcept>

#include "apps/common/InputText.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace vor::script {

ProfileSource ProfileSource::Read(const std::string& nameOrFile) {
    if (const auto text = BuiltinProfile(nameOrFile)) {
        return {std::string(*text), nameOrFile + ".json"};
    }
    std::error_code unknown;
    if (nameOrFile != "-" && !std::filesystem::exists(nameOrFile, unknown)) {
        std::string names;
        for (const std::string& name : BuiltinProfileNames()) {
            names += (names.empty() ? "" : ", ") + name;
        }
        throw std::runtime_error(nameOrFile + ": no such profile file, nor a built-in profile (" + names + ")");
    }
    return {app::ReadInput(nameOrFile, "profile file"), nameOrFile == "-" ? "standard input" : nameOrFile};
}

std::unique_ptr<sim::SimDrive> ProfileSource::Load() const {
    return std::make_unique<sim::SimDrive>(model::ProfileLoader::Parse(text, fileName));
}

}  // namespace vor::script
