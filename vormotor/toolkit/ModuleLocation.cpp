#include "vormotor/toolkit/ModuleLocation.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace vor {
namespace {

std::filesystem::path ModuleFile(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
        std::filesystem::path file(info.dli_fname);
        // The main program is reported by the name it was started with, which may be relative.
        if (file.is_absolute()) {
            return file;
        }
    }
    std::error_code failure;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", failure);
    return failure ? std::filesystem::path() : executable;
}

}  // namespace

ModuleLocation ModuleLocation::Containing(const void* address) {
    const std::filesystem::path file = ModuleFile(address);
    return ModuleLocation{file.parent_path().string(), file.stem().string()};
}

}  // namespace vor
