// vormotor-reg: exports a registry key tree to a .reg file, imports one, lists a key.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/common/CommandLine.h"
#include "apps/common/InputText.h"
#include "apps/reg/KeyListing.h"
#include "apps/reg/RegEditForm.h"
#include "apps/reg/RegFileText.h"
#include "vormotor/core/Error.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/TypedImage.h"
#ifndef _WIN32
#include "vormotor/regstore/RegStore.h"
#endif

namespace {

using vor::CRegistry;

constexpr const char* Description =
    "Exports a registry key tree to a .reg file, imports one, lists a key.\n"
    "FILE - is standard input or output. ROOT is a root name such as HKEY_CURRENT_USER or its short\n"
    "form HKCU. Exit status: 0 done, 1 failed or not everything could be carried, 2 usage error.";

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

// The command line asks for something the program does not do.
struct UsageError {
    std::string message;
};
// The program was asked for the right thing and could not do it.
struct RunError {
    std::string message;
};

// Answers the key's root.
const RootName& OpenExisting(CRegistry& registry, const std::string& key) {
    const std::string_view full(key);
    const std::string_view root = full.substr(0, full.find('\\'));
    for (const RootName& name : Roots) {
        if (root == name.longName || root == name.shortName) {
            std::string path(full.substr(std::min(root.size() + 1, full.size())));
            registry.OpenKey(name.hive, path, false);
            if (!registry.IsOpen()) {
                throw RunError{"no such key: " + key};
            }
            return name;
        }
    }
    throw UsageError{"unknown root in " + key};
}

// Whole buffers, not character by character: reading was an eighth of an import's time.
std::string ReadAll(const std::string& file) {
    try {
        return vor::app::ReadInput(file, ".reg file");
    } catch (const std::runtime_error& error) {
        throw RunError{error.what()};
    }
}

void WriteAll(const std::string& file, const std::string& bytes) {
    if (file == "-") {
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!std::cout.flush()) {
            throw RunError{"cannot write to standard output"};
        }
        return;
    }
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw RunError{"cannot write " + file};
    }
}

using Api = std::shared_ptr<vor::RegistryApi>;

struct Arguments {
    std::vector<std::string> words;
    bool utf16 = false;
};

const RootName* RootOf(std::string_view name) {
    for (const RootName& root : Roots) {
        if (name == root.longName) {
            return &root;
        }
    }
    return nullptr;
}

// Every value with its type: the file goes through the registry calls, not CRegistry's image, which
// carries string values only.
int Export(const Api& api, const Arguments& args) {
    CRegistry registry(api);
    const RootName& root = OpenExisting(registry, args.words[0]);
    vor::TypedImage typed(*api);
    const std::string image = typed.Save(root.hive, root.longName, registry.CurrentKey());
    std::string bytes;
    try {
        bytes = vor::RegFileBytes(vor::ToRegEditForm(image), args.utf16);
    } catch (const vor::RegFileError& error) {
        throw RunError{std::string("cannot write UTF-16: ") + error.what()};
    }
    WriteAll(args.words[1], bytes);
    for (const vor::UncarriedItem& item : typed.Uncarried()) {
        std::cerr << "vormotor-reg: not carried: [" << item.key << "]"
                  << (item.wholeKey ? " with its sub-keys" : " value \"" + item.value + "\"") << ": " << item.reason
                  << "\n";
    }
    return typed.Uncarried().empty() ? vor::app::kDone : vor::app::kFailed;
}

int Import(const Api& api, const Arguments& args) {
    const std::string& file = args.words[0];
    std::string text;
    try {
        text = vor::RegFileText(ReadAll(file));
    } catch (const vor::RegFileError& error) {
        throw RunError{file + ": " + error.what()};
    }
    const vor::ImageFromRegEdit converted = vor::FromRegEditForm(text);
    for (const std::string& problem : converted.problems) {
        std::cerr << "vormotor-reg: " << file << ": " << problem << "\n";
    }
    if (!converted.problems.empty()) {
        throw RunError{file + ": nothing imported"};
    }
    vor::TypedImage(*api).Load(converted.image, [](std::string_view name) -> std::optional<std::int32_t> {
        const RootName* root = RootOf(name);
        return root == nullptr ? std::nullopt : std::optional<std::int32_t>(root->hive);
    });
    return 0;
}

int List(const Api& api, const Arguments& args) {
    CRegistry registry(api);
    const RootName& root = OpenExisting(registry, args.words[0]);
    vor::RegistryApi::Batch batch(*api, vor::RegistryApi::BatchUse::Read);
    vor::RegHandle key = 0;
    if (api->OpenKeyEx(vor::reg::HiveHandle(root.hive), registry.CurrentKey().c_str(), 0, vor::reg::KeyRead, &key) !=
        vor::reg::Success) {
        throw RunError{"cannot open " + args.words[0]};
    }
    std::vector<std::string> unshown;
    try {
        unshown = vor::ListKey(*api, key, args.words[0], std::cout);
    } catch (...) {
        api->CloseKey(key);
        throw;
    }
    api->CloseKey(key);
    for (const std::string& name : unshown) {
        std::cerr << "vormotor-reg: cannot show value \"" << name << "\" of " << args.words[0]
                  << ": its text is not valid in the registry's code page\n";
    }
    if (!std::cout.flush()) {
        throw RunError{"cannot write to standard output"};
    }
    return unshown.empty() ? vor::app::kDone : vor::app::kFailed;
}

struct Command {
    std::string_view name;
    std::string_view help;
    std::vector<std::string_view> arguments;
    bool writes;
    bool takesUtf16;
    std::function<int(const Api&, const Arguments&)> run;
};

std::shared_ptr<vor::RegistryApi> Registry(const std::optional<std::string>& store, bool writes) {
#ifdef _WIN32
    if (store) {
        throw UsageError{"--store is for builds without the Windows registry"};
    }
    (void)writes;
    return vor::DefaultRegistryApi();
#else
    const std::string path = store.value_or(vor::RegStore::DefaultPath());
    // A command that only reads must not leave a new, empty store behind.
    if (!writes && !std::filesystem::exists(path)) {
        throw RunError{"no registry store at " + path};
    }
    return std::make_shared<vor::RegStore>(path);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::array<Command, 3> commands{{
        {"export", "write the key tree as a .reg file", {"ROOT\\PATH", "FILE"}, false, true, Export},
        {"import", "apply a .reg file", {"FILE"}, true, false, Import},
        {"list", "print a key's sub-keys and values", {"ROOT\\PATH"}, false, false, List},
    }};
    vor::app::CommandLine commandLine("vormotor-reg", Description);
    auto& options = commandLine.Options();
    std::optional<std::string> store;
    options.add_option("--store", store, "the registry store (builds without the Windows registry)")
        ->type_name("FILE");
    options.require_subcommand(0, 1);
    const Command* chosen = nullptr;
    Arguments arguments;
    // Sized once: the options below hold references into it.
    arguments.words.resize(std::ranges::max(commands, {}, [](const Command& c) { return c.arguments.size(); })
                               .arguments.size());
    for (const Command& command : commands) {
        auto* sub = options.add_subcommand(std::string(command.name), std::string(command.help));
        sub->callback([&chosen, &command] { chosen = &command; });
        for (std::size_t i = 0; i < command.arguments.size(); ++i) {
            sub->add_option(std::string(command.arguments[i]), arguments.words[i])->required();
        }
        if (command.takesUtf16) {
            sub->add_flag("--utf16", arguments.utf16, "UTF-16LE with a byte-order mark, as the registry editor writes");
        }
    }
    if (const auto status = commandLine.Parse(argc, argv)) {
        return *status;
    }
    if (chosen == nullptr) {
        return commandLine.UsageError("no command: export, import or list");
    }
    try {
        return chosen->run(Registry(store, chosen->writes), arguments);
    } catch (const UsageError& error) {
        return commandLine.UsageError(error.message);
    } catch (const RunError& error) {
        return commandLine.Fail(error.message, vor::app::kFailed);
    } catch (const vor::Error& error) {
        std::cerr << "vormotor-reg: " << error.Source() << ": " << error.Description() << " (error 0x" << std::hex
                  << static_cast<std::uint32_t>(error.Number()) << ")\n";
        if (error.Number() == vor::registry_error::BadLineEnd) {
            std::cerr << "vormotor-reg: the file mixes line ends; give every line CR LF (for example with unix2dos)\n";
        }
    }
    return vor::app::kFailed;
}
