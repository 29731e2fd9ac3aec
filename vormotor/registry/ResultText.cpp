#include "vormotor/registry/ResultText.h"

#include <array>

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

namespace {

using namespace reg;  // the result codes

struct Meaning {
    long result;
    const char* text;
};
constexpr std::array<Meaning, 11> Meanings{{
    {FileNotFound, "no such key or value"},
    {AccessDenied, "access denied"},
    {InvalidHandle, "the key is not open"},
    {WriteProtected, "the registry store is read-only"},
    {DiskFull, "the disk is full"},
    {InvalidParameter, "a name or path is not valid"},
    {BadPathname, "the key path is not valid (it has an empty name)"},
    {StoreBusy, StoreBusyText},
    {MoreData, "a name is longer than the registry allows (key names: 255 characters)"},
    {RegistryIoFailed, "the registry store cannot be read or written (a damaged file or a failing disk)"},
    {KeyDeleted, "the key was deleted"},
}};

}  // namespace

std::string ResultText(long result) {
    for (const Meaning& meaning : Meanings) {
        if (meaning.result == result) {
            return meaning.text;
        }
    }
    return "error " + std::to_string(result);
}

}  // namespace vor
