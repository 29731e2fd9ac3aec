#pragma once

#include <memory>
#include <string>

#include "vormotor/drivesim/SimDrive.h"

namespace vor::script {

// A drive profile as the programs take it: a built-in profile's name, a file, or "-" for
// standard input.
struct ProfileSource {
    std::string text;
    std::string fileName;  // for the loader's messages

    // Throws std::runtime_error: a folder, a file that cannot be read (with the reason), or a name
    // that is neither a built-in profile nor a file (listing the built-in names).
    static ProfileSource Read(const std::string& nameOrFile);

    std::unique_ptr<sim::SimDrive> Load() const;
};

}  // namespace vor::script
