#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/KeyListing.h"

#ifndef _WIN32
#include "vormotor/regstore/RegStore.h"

namespace vor {
namespace {

using namespace std::string_literals;

// A store whose key rows cannot be read back, as a damaged file answers.
class DamagedStore : public store::RegStore {
public:
    DamagedStore() : RegStore(store::RegStore::InMemory) {}
    long EnumValue(RegHandle, std::uint32_t, char*, std::uint32_t*, std::uint32_t*, unsigned char*,
                   std::uint32_t*) override {
        return reg::RegistryIoFailed;
    }
};

RegHandle CreateKey(RegistryApi& api, RegHandle parent, const std::string& name) {
    RegHandle key = 0;
    EXPECT_EQ(api.CreateKeyEx(parent, name.c_str(), nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
    return key;
}

TEST(KeyListing, ShowsEverySubKeyAndEveryValueAsReadableText) {
    struct Case {
        std::string name;
        std::uint32_t type;
        std::string data;
        // What follows the name and the equals sign; nothing for a value that cannot be shown.
        std::optional<std::string> shown;
    };
    const std::vector<Case> cases{
        {"Text", reg::Sz, "C:\\Motor \"1\" \xc3\xbc\0"s, "C:\\Motor \"1\" \xc3\xbc"},
        {"Ten", reg::Dword, "\x0a\0\0\0"s, "dword:0000000a"},
        {"CR LF NUL", reg::Dword, "\x0d\x0a\0\0"s, "dword:00000a0d"},
        {"Short dword", reg::Dword, "\x01\x02\x03", "hex(4):01,02,03"},
        {"Lines", reg::Sz, "a\r\nb\0"s, "hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {"Binary", reg::Binary, "\0\xff"s, "hex:00,ff"},
        {"Expand", reg::ExpandSz, "%x%\0"s, "hex(2):25,00,78,00,25,00,00,00"},
        {"Long", reg::Sz, std::string(12000, 'x'), std::string(12000, 'x')},
        {"Stray byte", reg::Sz, "caf\xe9", std::nullopt},
        {"After", reg::Sz, "shown", "shown"},
    };
    store::RegStore store(store::RegStore::InMemory);
    const RegHandle key = CreateKey(store, reg::HiveHandle(reg::CurrentUser), "Listed");
    for (const std::string& name : {"a"s, std::string(255, 'k'), "zz"s}) {
        store.CloseKey(CreateKey(store, key, name));
    }
    std::string expected = "[a]\n[" + std::string(255, 'k') + "]\n[zz]\n";
    std::vector<std::string> unshown;
    for (const Case& c : cases) {
        ASSERT_EQ(store.SetValueEx(key, c.name.c_str(), c.type, reinterpret_cast<const unsigned char*>(c.data.data()),
                                   static_cast<std::uint32_t>(c.data.size())),
                  reg::Success);
        if (c.shown) {
            expected += c.name + "=" + *c.shown + "\n";
        } else {
            unshown.push_back(c.name);
        }
    }
    std::ostringstream out;
    EXPECT_EQ(ListKey(store, key, "HKCU\\Listed", out), unshown);
    EXPECT_EQ(out.str(), expected);
}

TEST(KeyListing, AListingTheRegistryRefusesIsAnError) {
    DamagedStore store;
    const RegHandle key = CreateKey(store, reg::HiveHandle(reg::CurrentUser), "Damaged");
    store.CloseKey(CreateKey(store, key, "sub"));
    std::ostringstream out;
    try {
        ListKey(store, key, "HKCU\\Damaged", out);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Description(), "Failed to read the values of HKCU\\Damaged: the registry answered error 1016.");
    }
    EXPECT_EQ(out.str(), "[sub]\n");
}

}  // namespace
}  // namespace vor
#endif
