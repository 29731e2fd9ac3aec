// vormotor-reg: exports a registry key tree to a .reg file, imports one, lists a key.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "apps/common/CommandLine.h"
#include "apps/common/InputText.h"
#include "vormotor/core/Error.h"
#include "vormotor/regapi/DefaultRegistryApi.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/KeyListing.h"
#include "vormotor/registry/RegEditFile.h"
#include "vormotor/registry/RegFileText.h"
#include "vormotor/registry/RegistryErrors.h"
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include "vormotor/regstore/RegStore.h"
#endif

namespace {

using vor::CRegistry;

#ifdef _WIN32
int ProcessId() {
    return _getpid();
}
int SyncToDisk(std::FILE* file) {
    return _commit(_fileno(file));
}
// The folder's entry is written with the rename on Windows.
void SyncFolderOf(const std::filesystem::path&) {}
#else
int ProcessId() {
    return static_cast<int>(getpid());
}
int SyncToDisk(std::FILE* file) {
    return fsync(fileno(file));
}
// The rename itself lasts once the folder that holds the file is on the disk.
void SyncFolderOf(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}
#endif

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

// The root of a key given as ROOT\PATH, and its path.
const RootName& RootAndPath(const std::string& key, std::string& path) {
    const std::string_view full(key);
    const std::string_view root = full.substr(0, full.find('\\'));
    for (const RootName& name : Roots) {
        if (root == name.longName || root == name.shortName) {
            path = full.substr(std::min(root.size() + 1, full.size()));
            return name;
        }
    }
    throw UsageError{"unknown root in " + key};
}

// Answers the key's root.
const RootName& OpenExisting(CRegistry& registry, const std::string& key) {
    std::string path;
    const RootName& name = RootAndPath(key, path);
    registry.OpenKey(name.hive, path, false);
    if (!registry.IsOpen()) {
        throw RunError{"no such key: " + key};
    }
    return name;
}

// Whole buffers, not character by character: reading was an eighth of an import's time.
std::string ReadAll(const std::string& file) {
    try {
        return vor::app::ReadInput(file, ".reg file");
    } catch (const std::runtime_error& error) {
        throw RunError{error.what()};
    }
}

std::string SystemError(int number) {
    return std::error_code(number, std::generic_category()).message();
}

// The name a file is built under before it takes its place: in the same folder, so that it moves there in one step.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    std::filesystem::path temporary = target;
    temporary += ".vormotor-reg-" + std::to_string(ProcessId()) + ".tmp";
    return temporary;
}

// Replaces the file as a whole: written beside it under another name, flushed to the disk, then renamed
// over it, so an export that fails (a full disk) leaves the file that was there as it was.
void ReplaceFile(const std::string& file, const std::string& bytes) {
    namespace fs = std::filesystem;
    const fs::path target(file);
    const fs::path temporary = TemporaryBeside(target);
    const auto failed = [&](const std::string& reason) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RunError{"cannot write " + file + ": " + reason + " (the file was left as it was)"};
    };
    std::FILE* out = std::fopen(temporary.string().c_str(), "wb");
    if (out == nullptr) {
        throw RunError{"cannot write " + file + ": " + SystemError(errno)};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0 &&
                         SyncToDisk(out) == 0;
    const int writeError = written ? 0 : errno;
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        throw failed(SystemError(written ? errno : writeError));
    }
    std::error_code error;
    if (const fs::file_status old = fs::status(target, error); fs::exists(old)) {
        fs::permissions(temporary, old.permissions(), error);
    }
    fs::rename(temporary, target, error);
    if (error) {
        throw failed(error.message());
    }
    SyncFolderOf(target);
}

void WriteAll(const std::string& file, const std::string& bytes) {
    if (file != "-") {
        ReplaceFile(file, bytes);
        return;
    }
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!std::cout.flush()) {
        throw RunError{"cannot write to standard output"};
    }
}

using Api = std::shared_ptr<vor::RegistryApi>;

#ifndef _WIN32
std::string StorePath(const std::optional<std::string>& store) {
    return store.value_or(vor::store::RegStore::DefaultPath());
}

// A store an import is to create is built beside its place under another name and put there only once all of the
// file is in it, so an import that fails leaves no store behind. Deleting a store it had created would not do:
// another program may have begun to use it meanwhile. For the same reason the new store never replaces one that
// appeared while it was built: that one stays as it is and the import fails.
void ImportIntoNewStore(const vor::RegEditImport& parsed, const std::string& store) {
    namespace fs = std::filesystem;
    const fs::path building = TemporaryBeside(store);
    const auto removeBuilding = [&] {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            std::error_code ignored;
            fs::remove(fs::path(building) += suffix, ignored);
        }
    };
    // Left by a process of the same id that was killed.
    removeBuilding();
    try {
        // Closed before it is put in place: the last connection folds the WAL into the file and removes the
        // -wal and -shm files, which would not follow it to its new name.
        vor::store::RegStore built(building.string());
        parsed.Apply(built);
    } catch (...) {
        removeBuilding();
        throw;
    }
    // link(2) fails rather than replace a file that exists, where rename(2) would replace it.
    const bool linked = link(building.c_str(), store.c_str()) == 0;
    const int linkError = errno;
    removeBuilding();
    if (!linked) {
        throw RunError{linkError == EEXIST
                           ? "the registry store " + store +
                                 " was created by another program during the import; it was left as it was and "
                                 "nothing was imported"
                           : "cannot create the registry store " + store + ": " + SystemError(linkError)};
    }
    SyncFolderOf(store);
}
#endif

// Opens the registry when a command is ready for it: an import opens it only once its file has been checked.
struct OpenRegistry {
    std::optional<std::string> store;
    bool writes;
    Api operator()() const;
};

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
int Export(const OpenRegistry& open, const Arguments& args) {
    const Api api = open();
    std::string path;
    const RootName& root = RootAndPath(args.words[0], path);
    vor::RegEditExport exported;
    try {
        exported = vor::ExportRegEditFile(*api, root.hive, root.longName, path, args.utf16);
    } catch (const vor::RegFileError& error) {
        throw RunError{std::string("cannot write UTF-16: ") + error.what()};
    }
    WriteAll(args.words[1], exported.bytes);
    for (const vor::UncarriedItem& item : exported.uncarried) {
        std::cerr << "vormotor-reg: not carried: [" << item.key << "]"
                  << (item.wholeKey ? " with its sub-keys" : " value \"" + item.value + "\"") << ": " << item.reason
                  << "\n";
    }
    return exported.uncarried.empty() ? vor::app::kDone : vor::app::kFailed;
}

int Import(const OpenRegistry& open, const Arguments& args) {
    const std::string& file = args.words[0];
    const auto hiveOf = [](std::string_view name) -> std::optional<std::int32_t> {
        const RootName* root = RootOf(name);
        return root == nullptr ? std::nullopt : std::optional<std::int32_t>(root->hive);
    };
    // Read whole before the store is opened, so a file refused for its form leaves no new store behind.
    std::optional<vor::RegEditImport> parsed;
    try {
        parsed.emplace(ReadAll(file), hiveOf);
    } catch (const vor::RegFileError& error) {
        throw RunError{file + ": " + error.what()};
    }
    for (const std::string& refused : parsed->Refused()) {
        std::cerr << "vormotor-reg: " << file << ": " << refused << "\n";
    }
    if (!parsed->Refused().empty()) {
        throw RunError{file + ": nothing imported"};
    }
#ifndef _WIN32
    // A store that cannot be looked at is left to the store to report.
    std::error_code unseen;
    if (const std::string store = StorePath(open.store); !std::filesystem::exists(store, unseen) && !unseen) {
        ImportIntoNewStore(*parsed, store);
        return 0;
    }
#endif
    parsed->Apply(*open());
    return 0;
}

int List(const OpenRegistry& open, const Arguments& args) {
    const Api api = open();
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
    std::function<int(const OpenRegistry&, const Arguments&)> run;
};

std::shared_ptr<vor::RegistryApi> Registry(const std::optional<std::string>& store, bool writes) {
#ifdef _WIN32
    if (store) {
        throw UsageError{"--store is for builds without the Windows registry"};
    }
    (void)writes;
    return vor::DefaultRegistryApi();
#else
    const std::string path = StorePath(store);
    // A command that only reads must not leave a new, empty store behind, nor change the one it reads.
    if (!writes && !std::filesystem::exists(path)) {
        throw RunError{"no registry store at " + path};
    }
    return std::make_shared<vor::store::RegStore>(
        path, vor::store::RegStore::DefaultBusyTime,
        writes ? vor::store::RegStore::Access::ReadWrite : vor::store::RegStore::Access::ReadOnly);
#endif
}

Api OpenRegistry::operator()() const {
    return Registry(store, writes);
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
    options.add_option("--store", store, "the registry store (builds without the Windows registry)")->type_name("FILE");
    options.require_subcommand(0, 1);
    const Command* chosen = nullptr;
    Arguments arguments;
    // Sized once: the options below hold references into it.
    arguments.words.resize(
        std::ranges::max(commands, {}, [](const Command& c) { return c.arguments.size(); }).arguments.size());
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
        return chosen->run(OpenRegistry{store, chosen->writes}, arguments);
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
