#include "apps/common/InputText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace vor::app {

std::string ReadInput(const std::string& file, std::string_view what) {
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
        return std::move(text).str();
    }
    std::error_code unknown;
    if (std::filesystem::is_directory(file, unknown)) {
        throw std::runtime_error(file + ": a folder, not a " + std::string(what));
    }
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file + ": " + std::strerror(errno));
    }
    text << in.rdbuf();
    if (in.bad()) {
        throw std::runtime_error("cannot read " + file + ": " + std::strerror(errno));
    }
    return std::move(text).str();
}

}  // namespace vor::app
