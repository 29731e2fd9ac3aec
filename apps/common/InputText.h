#pragma once

#include <string>
#include <string_view>

namespace vor::app {

// The whole text of file, or of standard input when file is "-". Throws std::runtime_error saying
// "FILE: a folder, not a WHAT" or "cannot read FILE: REASON".
std::string ReadInput(const std::string& file, std::string_view what);

}  // namespace vor::app
