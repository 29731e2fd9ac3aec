// vormotor-reg: exports a registry key tree to a .reg text, imports one, lists a key.
#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "apps/reg/RegFileText.h"
#include "vormotor/core/Error.h"
#include "vormotor/registry/CRegistry.h"
#ifndef _WIN32
#include "vormotor/regstore/RegStore.h"
#endif

namespace {

using vor::CRegistry;

constexpr const char* Usage =
    "usage: vormotor-reg [--store FILE] export ROOT\\PATH FILE   write the key tree as a .reg text (FILE - is stdout)\n"
    "       vormotor-reg [--store FILE] import FILE             apply a .reg text (FILE - is stdin)\n"
    "       vormotor-reg [--store FILE] list ROOT\\PATH          print a key's values and sub-keys\n"
    "ROOT is a root name such as HKEY_CURRENT_USER or its short form HKCU.\n";

struct RootName {
    std::string_view longName;
    std::string_view shortName;
    std::int32_t hive;
};
constexpr std::array<RootName, 7> Roots{{
    {"HKEY_CLASSES_ROOT", "HKCR", vor::reg::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", vor::reg::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", vor::reg::LocalMachine},
    {"HKEY_USERS", "HKU", vor::reg::Users},
    {"HKEY_PERFORMANCE_DATA", "HKPD", vor::reg::PerformanceData},
    {"HKEY_CURRENT_CONFIG", "HKCC", vor::reg::CurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", vor::reg::DynData},
}};

struct UsageError {
    std::string message;
};

void OpenExisting(CRegistry& registry, const std::string& key) {
    const std::string_view full(key);
    const std::string_view root = full.substr(0, full.find('\\'));
    for (const RootName& name : Roots) {
        if (root == name.longName || root == name.shortName) {
            std::string path(full.substr(std::min(root.size() + 1, full.size())));
            registry.OpenKey(name.hive, path, false);
            if (!registry.IsOpen()) {
                throw UsageError{"no such key: " + key};
            }
            return;
        }
    }
    throw UsageError{"unknown root in " + key};
}

// Whole buffers, not character by character: reading was an eighth of an import's time.
std::string ReadAll(const std::string& file) {
    std::ostringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
        return std::move(text).str();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw UsageError{"cannot read " + file};
    }
    text << in.rdbuf();
    return std::move(text).str();
}

void WriteAll(const std::string& file, const std::string& text) {
    if (file == "-") {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        return;
    }
    std::ofstream out(file, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) {
        throw UsageError{"cannot write " + file};
    }
}

void Export(CRegistry& registry, const std::vector<std::string>& args) {
    OpenExisting(registry, args[0]);
    WriteAll(args[1], registry.SaveRegistry());
}

void Import(CRegistry& registry, const std::vector<std::string>& args) {
    registry.LoadRegistry(vor::StringValuesOnly(vor::RegFileText(ReadAll(args[0]))));
}

void List(CRegistry& registry, const std::vector<std::string>& args) {
    OpenExisting(registry, args[0]);
    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 0;
    registry.EnumerateSections(names, count);
    for (const std::string& name : names) {
        std::cout << '[' << name << "]\n";
    }
    registry.EnumerateValues(names, data, count);
    for (std::int32_t i = 0; i < count; ++i) {
        std::cout << names[i] << '=' << data[i] << '\n';
    }
}

struct Command {
    std::string_view name;
    std::size_t arguments;
    std::function<void(CRegistry&, const std::vector<std::string>&)> run;
};

std::shared_ptr<vor::RegistryApi> Registry(std::vector<std::string>& args) {
    if (args.size() < 2 || args[0] != "--store") {
        return vor::DefaultRegistryApi();
    }
#ifdef _WIN32
    throw UsageError{"--store is for builds without the Windows registry"};
#else
    auto store = std::make_shared<vor::RegStore>(args[1]);
    args.erase(args.begin(), args.begin() + 2);
    return store;
#endif
}

int Run(std::vector<std::string> args) {
    const std::array<Command, 3> commands{{{"export", 2, Export}, {"import", 1, Import}, {"list", 1, List}}};
    auto api = Registry(args);
    for (const Command& command : commands) {
        if (!args.empty() && args[0] == command.name && args.size() == command.arguments + 1) {
            CRegistry registry(api);
            command.run(registry, {args.begin() + 1, args.end()});
            return 0;
        }
    }
    throw UsageError{""};
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run({argv + 1, argv + argc});
    } catch (const UsageError& error) {
        std::cerr << (error.message.empty() ? "" : "vormotor-reg: " + error.message + "\n") << Usage;
    } catch (const vor::Error& error) {
        std::cerr << "vormotor-reg: " << error.Source() << ": " << error.Description() << " (error 0x" << std::hex
                  << static_cast<std::uint32_t>(error.Number()) << ")\n";
    }
    return 1;
}
