#include "vormotor/registry/TextImageWriter.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"

namespace vor {

namespace {

constexpr std::string_view Source = "CRegistry:SaveRegistry";
constexpr std::string_view LineEnd = "\r\n";
// The platform's longest key name is 255 characters; a multi-byte ANSI code page can need more bytes.
constexpr std::size_t FirstKeyNameBuffer = 256;
constexpr std::size_t LongestNameBuffer = 1 << 16;
// A value that changes while it is read can outgrow its buffer again; after this many tries it counts as unreadable.
constexpr int ReadAttempts = 8;

// The keys open on the way down from the tree's top key, which belongs to the caller.
struct OpenPath {
    struct Level {
        RegHandle key;
        std::vector<std::string> subKeys;
        std::size_t next = 0;
        std::size_t pathLength = 0;
    };
    explicit OpenPath(RegistryApi& api) : api(api) {}
    ~OpenPath() {
        for (std::size_t i = 1; i < levels.size(); ++i) {
            api.CloseKey(levels[i].key);
        }
    }
    OpenPath(const OpenPath&) = delete;
    OpenPath& operator=(const OpenPath&) = delete;

    RegistryApi& api;
    std::vector<Level> levels;
};

// Why a sub-key cannot be written: loading opens keys by path, and OpenKey turns a '/' into a level of its own.
std::optional<std::string> KeyNameProblem(std::string_view name) {
    if (name.find('/') != std::string_view::npos) {
        return "its name contains '/'";
    }
    if (image::HasAnyOf(name, LineEnd)) {
        return "its name contains a line break";
    }
    return std::nullopt;
}

}  // namespace

TextImageWriter::TextImageWriter(RegistryApi& api, std::uint32_t access, ValueLineForm form,
                                 std::vector<UncarriedItem>& uncarried)
    : m_api(api), m_access(access), m_form(form), m_uncarried(uncarried), m_nameBuffer(FirstKeyNameBuffer, '\0') {}

std::string TextImageWriter::KeyName() const {
    return m_root + "\\" + m_path;
}

void TextImageWriter::Fail(std::int32_t number, const std::string& description) const {
    throw Error(number, std::string(Source), description);
}

void TextImageWriter::Append(std::string& text, RegHandle key, std::string_view rootName, const std::string& path) {
    m_root = rootName;
    m_path = path;
    std::size_t depth = image::KeyDepth(path);
    const auto tooDeep = [&] {
        Fail(registry_error::TooDeep, "Failed to save " + m_root + "\\" + path + ": it has keys more than " +
                                          std::to_string(image::MaxDepth) + " levels below the root.");
    };
    if (depth > image::MaxDepth) {
        tooDeep();
    }
    OpenPath open(m_api);
    AppendKey(text, key);
    open.levels.push_back({key, SubKeyNames(key), 0, m_path.size()});
    while (!open.levels.empty()) {
        OpenPath::Level& level = open.levels.back();
        if (level.next == level.subKeys.size()) {
            if (open.levels.size() > 1) {
                m_api.CloseKey(level.key);
            }
            open.levels.pop_back();
            --depth;
            if (!open.levels.empty()) {
                m_path.resize(open.levels.back().pathLength);
            }
            continue;
        }
        const std::string& name = level.subKeys[level.next++];
        m_path.append("\\").append(name);
        if (const std::optional<std::string> problem = KeyNameProblem(name)) {
            m_uncarried.push_back({KeyName(), "", true, false, *problem});
            m_path.resize(level.pathLength);
            continue;
        }
        if (depth + 1 > image::MaxDepth) {
            tooDeep();
        }
        RegHandle child = 0;
        if (m_api.OpenKeyEx(level.key, name.c_str(), 0, m_access, &child) != reg::Success) {
            // What the sub-key's own reader raises when it finds nothing open.
            throw Error(registry_error::OperationFailed, "CRegistry:EnumerateValues", "No key is currently open.");
        }
        open.levels.push_back({child, {}, 0, m_path.size()});
        ++depth;
        AppendKey(text, child);
        open.levels.back().subKeys = SubKeyNames(child);
    }
}

void TextImageWriter::AppendKey(std::string& text, RegHandle key) {
    text.append(LineEnd).append("[").append(m_root).append("\\").append(m_path).append("]").append(LineEnd);
    AppendValues(text, key);
}

void TextImageWriter::AppendValues(std::string& text, RegHandle key) {
    std::uint32_t longestName = 0;
    std::uint32_t longestData = 0;
    m_api.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &longestData, nullptr,
                       nullptr);
    m_nameBuffer.resize(std::max<std::size_t>(m_nameBuffer.size(), longestName + std::size_t{1}));
    m_dataBuffer.resize(
        std::max<std::size_t>(m_dataBuffer.size(), std::min<std::size_t>(longestData, image::MaxLineLength)));
    std::string_view name;
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const Read read = ReadValue(key, index, name, type, size);
        if (read == Read::End) {
            return;
        }
        if (read == Read::LeftOut) {
            continue;
        }
        if (std::optional<UncarriedItem> item = m_form(text, name, type, std::string_view(m_dataBuffer.data(), size))) {
            item->key = KeyName();
            m_uncarried.push_back(std::move(*item));
        }
    }
}

TextImageWriter::Read TextImageWriter::ReadValue(RegHandle key, std::uint32_t index, std::string_view& name,
                                                 std::uint32_t& type, std::uint32_t& size) {
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        auto nameLength = static_cast<std::uint32_t>(m_nameBuffer.size());
        size = static_cast<std::uint32_t>(m_dataBuffer.size());
        long result = m_api.EnumValue(key, index, m_nameBuffer.data(), &nameLength, &type,
                                      reinterpret_cast<unsigned char*>(m_dataBuffer.data()), &size);
        if (result == reg::Success) {
            name = std::string_view(m_nameBuffer.data(), nameLength);
            return Read::Value;
        }
        if (result == reg::NoMoreItems) {
            return Read::End;
        }
        if (result != reg::MoreData) {
            break;
        }
        // Either buffer may be the short one: ask for the name and the data's size alone.
        nameLength = static_cast<std::uint32_t>(m_nameBuffer.size());
        result = m_api.EnumValue(key, index, m_nameBuffer.data(), &nameLength, &type, nullptr, &size);
        if (result == reg::MoreData && m_nameBuffer.size() < LongestNameBuffer) {
            m_nameBuffer.resize(m_nameBuffer.size() * 2);
            continue;
        }
        if (result != reg::Success) {
            break;
        }
        if (size > image::MaxLineLength) {
            m_uncarried.push_back({KeyName(), std::string(m_nameBuffer.data(), nameLength), false, false,
                                   "its data is longer than " + std::to_string(image::MaxLineLength) + " bytes"});
            return Read::LeftOut;
        }
        m_dataBuffer.resize(std::max<std::size_t>(size, m_dataBuffer.size()));
    }
    Fail(registry_error::OperationFailed, "Failed to read value " + std::to_string(index) + " of " + KeyName() + ".");
}

std::vector<std::string> TextImageWriter::SubKeyNames(RegHandle key) {
    std::vector<std::string> names;
    for (std::uint32_t index = 0;;) {
        const long result =
            m_api.EnumKey(key, index, m_nameBuffer.data(), static_cast<std::uint32_t>(m_nameBuffer.size()));
        if (result == reg::Success) {
            names.emplace_back(m_nameBuffer.c_str());
            ++index;
        } else if (result == reg::NoMoreItems) {
            return names;
        } else if (result == reg::MoreData && m_nameBuffer.size() < LongestNameBuffer) {
            m_nameBuffer.resize(m_nameBuffer.size() * 2);
        } else {
            Fail(registry_error::OperationFailed, "Failed to read the sub-keys of " + KeyName() + ".");
        }
    }
}

}  // namespace vor
