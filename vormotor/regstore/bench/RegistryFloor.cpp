// The floor the store's figures are measured against (scripts/bench-registry-floor.sh): the same
// SQLite work done bare, with the store's schema (an empty store made by the store itself), its
// pragmas, and the rows it writes, in one transaction, and the same .reg text read or written (an
// exported file replaced as durably as vormotor-reg replaces it).
// What it leaves out is what the store and CRegistry add: checking the text, the key and value
// API, handles, per-key bookkeeping.
// Usage: registry_floor STORE import FILE.reg            the file's keys below HKEY_CURRENT_USER
//        registry_floor STORE export [--utf16] KEY FILE  KEY (below HKEY_CURRENT_USER) as a .reg file
//        registry_floor STORE timing KEYS...             as registry_timing: load and save in process
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sqlite3.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "vormotor/registry/bench/BenchTree.h"
#include "vormotor/registry/bench/Stopwatch.h"
#include "vormotor/regstore/NameFold.h"
#include "vormotor/regstore/SqlStatement.h"

namespace {

using vor::registry_bench::MedianSeconds;
using vor::registry_bench::Seconds;
using vor::store::SqlStatement;

constexpr std::int64_t CurrentUserId = 2;  // the store's row of HKEY_CURRENT_USER
constexpr std::string_view CurrentUser = "HKEY_CURRENT_USER\\";
constexpr std::string_view Header = "Windows Registry Editor Version 5.00\r\n";
constexpr std::uint32_t StringType = 1;
const std::string TimingRoot = "Software\\VorMotorTiming";

std::int64_t Now() {
    constexpr std::int64_t TicksFrom1601To1970 = 116'444'736'000'000'000;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return TicksFrom1601To1970 + std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
}

void AppendNumber(std::string& blob, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8) {
        blob += static_cast<char>((number >> shift) & 0xFF);
    }
}

std::uint32_t NumberAt(std::string_view blob, std::size_t at) {
    std::uint32_t number = 0;
    for (int byte = 3; byte >= 0; --byte) {
        number = (number << 8) | static_cast<unsigned char>(blob[at + static_cast<std::size_t>(byte)]);
    }
    return number;
}

class Store {
public:
    explicit Store(const std::string& path) {
        // The store's own flags, but for creating: the store made the file.
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + path);
        }
        // The store's own durability; its journal mode (WAL) is kept in the file.
        vor::store::ExecSql(m_db, "PRAGMA synchronous = FULL");
    }
    ~Store() { sqlite3_close(m_db); }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Each section of the text becomes its key's row, with the section's string values in the
    // row's value blob (name size, type, data size, name, data): one insert per new key, one
    // look-up first where the parent existed before (a key made here has no sub-keys yet).
    void Load(std::string_view text) {
        vor::store::ExecSql(m_db, "BEGIN IMMEDIATE");
        Writer writer{m_db};
        std::string path;
        std::string values;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find('\n', at);
            end = end == std::string_view::npos ? text.size() : end;
            std::string_view line = text.substr(at, end - at);
            at = end + 1;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            if (line.starts_with('[') && line.ends_with(']') && line.substr(1).starts_with(CurrentUser)) {
                if (!path.empty()) {
                    writer.Write(path, values);
                }
                path = line.substr(1 + CurrentUser.size(), line.size() - 2 - CurrentUser.size());
                values.clear();
            } else if (line.starts_with('"')) {
                const std::size_t equals = line.find("\"=\"");
                const std::string_view name = line.substr(1, equals - 1);
                std::string data;
                const std::string_view quoted = line.substr(equals + 3, line.size() - equals - 4);
                for (std::size_t i = 0; i < quoted.size(); ++i) {
                    i += quoted[i] == '\\' ? 1 : 0;
                    data += quoted[i];
                }
                AppendNumber(values, static_cast<std::uint32_t>(name.size()));
                AppendNumber(values, StringType);
                AppendNumber(values, static_cast<std::uint32_t>(data.size()));
                values += name;
                values += data;
            }
        }
        if (!path.empty()) {
            writer.Write(path, values);
        }
        vor::store::ExecSql(m_db, "COMMIT");
    }

    // The key's section, its values, then its sub-keys in the store's order, depth first.
    std::string Save(const std::string& path) {
        vor::store::ExecSql(m_db, "BEGIN");
        vor::store::SqlStatement find(m_db, "SELECT id, vals FROM keys WHERE parent = ?1 AND fold = ?2");
        vor::store::SqlStatement list(m_db, "SELECT name, id, vals FROM keys WHERE parent = ?1 ORDER BY fold");
        std::int64_t id = CurrentUserId;
        std::string values;
        for (std::size_t start = 0; start <= path.size();) {
            std::size_t end = path.find('\\', start);
            end = end == std::string::npos ? path.size() : end;
            if (!find.Bind(id, std::string_view(vor::store::Fold(path.substr(start, end - start)))).Step()) {
                throw std::runtime_error("no key " + path);
            }
            id = find.Int(0);
            values = find.Bytes(1);
            find.Reset();
            start = end + 1;
        }
        struct Key {
            std::string path;
            std::int64_t id;
            std::string values;
        };
        std::string text(Header);
        std::vector<Key> pending{{std::string(CurrentUser) + path, id, std::move(values)}};
        std::vector<Key> children;
        while (!pending.empty()) {
            const Key key = std::move(pending.back());
            pending.pop_back();
            text += "\r\n[" + key.path + "]\r\n";
            WriteValues(key.values, text);
            list.Bind(key.id);
            while (list.Step()) {
                children.push_back(
                    {key.path + "\\" + std::string(list.Bytes(0)), list.Int(1), std::string(list.Bytes(2))});
            }
            list.Reset();
            pending.insert(pending.end(), std::make_move_iterator(children.rbegin()),
                           std::make_move_iterator(children.rend()));
            children.clear();
        }
        vor::store::ExecSql(m_db, "COMMIT");
        return text;
    }

    void Clear() { vor::store::ExecSql(m_db, "DELETE FROM keys WHERE id > 7"); }

private:
    // Writes keys by path below HKEY_CURRENT_USER, parents first, remembering which it made.
    class Writer {
    public:
        explicit Writer(sqlite3* db)
            : m_db(db),
              m_find(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2"),
              m_insert(db, "INSERT INTO keys(parent, name, fold, class, written, vals) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"),
              m_update(db, "UPDATE keys SET vals = ?2, written = ?3 WHERE id = ?1") {}

        std::int64_t Write(const std::string& path, std::string_view values) {
            if (const auto known = m_keys.find(path); known != m_keys.end()) {
                if (!values.empty()) {
                    m_update.Bind(known->second.id, values, Now()).Run();
                }
                return known->second.id;
            }
            const std::size_t slash = path.rfind('\\');
            const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
            const std::int64_t parent = Write(parentPath, {});
            const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
            const std::string fold = vor::store::Fold(name);
            if (!m_keys[parentPath].made && m_find.Bind(parent, std::string_view(fold)).Step()) {
                const std::int64_t id = m_find.Int(0);
                m_find.Reset();
                if (!values.empty()) {
                    m_update.Bind(id, values, Now()).Run();
                }
                return (m_keys[path] = {id, false}).id;
            }
            m_find.Reset();
            m_insert.Bind(parent, std::string_view(name), std::string_view(fold), std::string_view(), Now(), values)
                .Run();
            return (m_keys[path] = {sqlite3_last_insert_rowid(m_db), true}).id;
        }

    private:
        struct Key {
            std::int64_t id = 0;
            bool made = false;
        };
        sqlite3* m_db;
        vor::store::SqlStatement m_find;
        vor::store::SqlStatement m_insert;
        vor::store::SqlStatement m_update;
        std::unordered_map<std::string, Key> m_keys{{"", {CurrentUserId, false}}};
    };

    static void WriteValues(std::string_view blob, std::string& text) {
        for (std::size_t at = 0; at < blob.size();) {
            const std::uint32_t nameSize = NumberAt(blob, at);
            const std::uint32_t dataSize = NumberAt(blob, at + 8);
            at += 12;
            text += '"';
            text += blob.substr(at, nameSize);
            text += "\"=\"";
            for (const char c : blob.substr(at + nameSize, dataSize)) {
                if (c == '\\' || c == '"') {
                    text += '\\';
                }
                text += c;
            }
            text += "\"\r\n";
            at += nameSize + dataSize;
        }
    }

    sqlite3* m_db = nullptr;
};

}  // namespace

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return std::move(bytes).str();
}

// The bench's texts are ASCII: a UTF-16LE file narrows unit by unit, and widens back.
std::string Narrowed(std::string bytes) {
    if (!bytes.starts_with("\xFF\xFE")) {
        return bytes;
    }
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        text += bytes[at];
    }
    return text;
}

std::string Widened(const std::string& text) {
    std::string bytes(2 + 2 * text.size(), '\0');
    bytes[0] = '\xFF';
    bytes[1] = '\xFE';
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 + 2 * i] = text[i];
    }
    return bytes;
}

// As vormotor-reg replaces a file, durably: written beside it, flushed to the disk, renamed over it,
// and the rename made lasting by flushing the folder.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".floor.tmp";
    const int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0) {
        return false;
    }
    std::size_t done = 0;
    for (ssize_t wrote = 0; done < bytes.size(); done += static_cast<std::size_t>(wrote)) {
        wrote = write(out, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) {
            break;
        }
    }
    const bool written = done == bytes.size() && fsync(out) == 0;
    if (close(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return true;
}

constexpr const char* Usage = "usage: registry_floor STORE import FILE | export [--utf16] KEY FILE | timing KEYS...\n";

int Run(const std::vector<std::string>& args) {
    Store store(args[0]);
    const std::string& command = args[1];
    if (command == "import" && args.size() == 3) {
        store.Load(Narrowed(ReadFile(args[2])));
        return 0;
    }
    if (command == "export" && (args.size() == 4 || (args.size() == 5 && args[2] == "--utf16"))) {
        const bool utf16 = args.size() == 5;
        const std::string text = store.Save(args[args.size() - 2]);
        return ReplaceFile(args.back(), utf16 ? Widened(text) : text) ? 0 : 1;
    }
    if (command == "timing") {
        for (std::size_t i = 2; i < args.size(); ++i) {
            const int keys = std::atoi(args[i].c_str());
            const std::string image = vor::registry_bench::TreeImage(TimingRoot, keys);
            store.Clear();
            const double load = Seconds([&] { store.Load(image); });
            std::string saved;
            const double save = MedianSeconds(vor::registry_bench::SaveSamples, [&] { saved = store.Save(TimingRoot); });
            store.Clear();
            if (saved.size() < image.size()) {
                std::fprintf(stderr, "saved text shorter than the loaded one\n");
                return 1;
            }
            std::printf("%5d keys: load %8.0f keys/s, save %8.0f keys/s\n", keys, keys / load, keys / save);
        }
        return 0;
    }
    std::cerr << Usage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << Usage;
        return 2;
    }
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& failure) {
        std::cerr << "registry_floor: " << failure.what() << '\n';
        return 1;
    } catch (const vor::store::SqlStatement::SqlFailure& failure) {
        std::cerr << "registry_floor: " << sqlite3_errstr(failure.code) << '\n';
        return 1;
    }
}
