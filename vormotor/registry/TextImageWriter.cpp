#include "vormotor/registry/TextImageWriter.h"

#include <algorithm>
#include <utility>

#include "vormotor/registry/ClassEnumeration.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/ResultText.h"

namespace vor {

namespace {

constexpr std::string_view Source = "CRegistry:SaveRegistry";
using image::LineEnd;

// The keys open on the way down from the tree's top key, which belongs to the caller.
struct OpenPath {
    struct Level {
        RegHandle key;
        std::vector<std::string> subKeys;
        std::size_t next = 0;
        std::size_t pathLength = 0;
        std::size_t depth = 0;
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

// Why a sub-key's section line does not load back as that key: loading opens keys by path, and OpenKey
// turns a '/' into a level of its own; LoadRegistry ends lines at CR LF, the typed image's stricter reader
// at a CR or an LF alone too.
std::optional<std::string> KeyNameProblem(std::string_view name, WalkReads reads) {
    if (name.find('/') != std::string_view::npos) {
        return "its name contains '/'";
    }
    const bool breaks =
        reads == WalkReads::Whole ? image::HasAnyOf(name, LineEnd) : name.find(LineEnd) != std::string_view::npos;
    if (breaks) {
        return "its name contains a line break";
    }
    return std::nullopt;
}

std::string ErrorCode(long result) {
    return "(error " + std::to_string(result) + ")";
}

}  // namespace

TextImageWriter::TextImageWriter(RegistryApi& api, std::uint32_t access, ValueLineForm form, WalkReads reads,
                                 std::vector<UncarriedItem>& uncarried)
    : m_api(api), m_access(access), m_form(form), m_reads(reads), m_uncarried(uncarried), m_reader(api) {}

std::string TextImageWriter::KeyName() const {
    return m_root + "\\" + m_path;
}

void TextImageWriter::Fail(std::int32_t number, const std::string& description) const {
    throw Error(number, std::string(Source), description);
}

void TextImageWriter::Report(std::optional<UncarriedItem> item) {
    if (item) {
        item->key = KeyName();
        m_uncarried.push_back(std::move(*item));
    }
}

void TextImageWriter::Append(std::string& text, RegHandle key, std::string_view rootName, const std::string& path) {
    m_root = rootName;
    m_path = path;
    const auto tooDeep = [&] {
        Fail(registry_error::TooDeep, "Failed to save " + m_root + "\\" + path + ": it has keys more than " +
                                          std::to_string(image::MaxDepth) + " levels below the root.");
    };
    const std::size_t depth = image::KeyDepth(path);
    if (depth > image::MaxDepth) {
        tooDeep();
    }
    OpenPath open(m_api);
    AppendKey(text, key);
    open.levels.push_back({key, SubKeyNames(key), 0, m_path.size(), depth});
    while (!open.levels.empty()) {
        OpenPath::Level& level = open.levels.back();
        if (level.next == level.subKeys.size()) {
            if (open.levels.size() > 1) {
                m_api.CloseKey(level.key);
            }
            open.levels.pop_back();
            if (!open.levels.empty()) {
                m_path.resize(open.levels.back().pathLength);
            }
            continue;
        }
        const std::optional<std::string> name = EnterSubKey(level.subKeys[level.next++]);
        if (!name) {
            m_path.resize(level.pathLength);
            continue;
        }
        const std::size_t childDepth = level.depth + image::KeyDepth(*name);
        if (childDepth > image::MaxDepth) {
            tooDeep();
        }
        RegHandle child = 0;
        if (m_api.OpenKeyEx(level.key, name->c_str(), 0, m_access, &child) != reg::Success) {
            // What the sub-key's own reader raises when it finds nothing open.
            throw Error(registry_error::OperationFailed, "CRegistry:EnumerateValues", "No key is currently open.");
        }
        open.levels.push_back({child, {}, 0, m_path.size(), childDepth});
        AppendKey(text, child);
        open.levels.back().subKeys = SubKeyNames(child);
    }
}

std::optional<std::string> TextImageWriter::EnterSubKey(const std::string& name) {
    const std::optional<std::string> problem = KeyNameProblem(name, m_reads);
    if (m_reads == WalkReads::Whole) {
        m_path.append("\\").append(name);
        if (problem) {
            m_uncarried.push_back({KeyName(), "", true, false, *problem});
            return std::nullopt;
        }
        return name;
    }
    // As OpenKey spells the parent's path, a backslash and the name: the separator dropped when it
    // leads, every '/' a backslash.
    std::string spelled = name;
    std::replace(spelled.begin(), spelled.end(), '/', '\\');
    const std::string asNamed = problem ? KeyName() + "\\" + name : std::string();
    m_path.append(m_path.empty() ? "" : "\\").append(spelled);
    if (problem) {
        m_uncarried.push_back(
            {asNamed, "", true, true, *problem + ", which loads back as another key: saved as " + KeyName()});
    }
    return spelled;
}

void TextImageWriter::AppendKey(std::string& text, RegHandle key) {
    text.append(LineEnd).append("[").append(m_root).append("\\").append(m_path).append("]").append(LineEnd);
    if (m_reads == WalkReads::Whole) {
        AppendWholeValues(text, key);
    } else {
        AppendValuesAsTheClassEnumerates(text, key);
    }
}

// The values a registry reads at once are those the enumerations below read, one call each; they go on
// where it stopped.
RegistryApi::VisitedValues TextImageWriter::AppendValuesAtOnce(std::string& text, RegHandle key,
                                                               std::uint32_t dataCapacity) {
    return m_api.VisitValues(key, dataCapacity, [&](std::string_view name, std::uint32_t type, std::string_view data) {
        Report(m_form(text, name, type, data));
    });
}

void TextImageWriter::AppendValuesAsTheClassEnumerates(std::string& text, RegHandle key) {
    const RegistryApi::VisitedValues visited = AppendValuesAtOnce(text, key, class_enumeration::StringBufferOffered);
    if (visited.all) {
        return;
    }
    const std::uint32_t longestName = class_enumeration::LongestValueName(m_api, key);
    class_enumeration::Value value;
    for (std::uint32_t index = visited.count;; ++index) {
        long result = reg::Success;
        const class_enumeration::Step step = class_enumeration::ValueAt(m_api, key, index, longestName, value, result);
        if (step == class_enumeration::Step::End) {
            if (result != reg::NoMoreItems) {
                ReportValuesFrom(key, index,
                                 "left out: the key's values end where the registry refused one " + ErrorCode(result));
            }
            return;
        }
        if (step == class_enumeration::Step::Value) {
            Report(m_form(text, value.name, value.type, value.data));
            continue;
        }
        m_form(text, value.name, reg::Sz, "");
        m_uncarried.push_back(
            {KeyName(), value.name, false, true,
             "saved as an empty text, the key's last value: " +
                 (result == reg::MoreData ? "its data is longer than the " +
                                                std::to_string(class_enumeration::StringBufferOffered) + " bytes read"
                                          : "its data could not be read " + ErrorCode(result))});
        ReportValuesFrom(key, index + 1, "left out: the key's values end at \"" + value.name + "\"");
        return;
    }
}

void TextImageWriter::AppendWholeValues(std::string& text, RegHandle key) {
    const RegistryApi::VisitedValues visited =
        AppendValuesAtOnce(text, key, static_cast<std::uint32_t>(image::MaxLineLength));
    if (visited.all) {
        return;
    }
    m_reader.FitTo(key, image::MaxLineLength);
    std::string_view name;
    std::string_view data;
    for (std::uint32_t index = visited.count;; ++index) {
        std::uint32_t type = 0;
        switch (m_reader.Value(key, index, image::MaxLineLength, name, type, data)) {
            case WholeEntryReader::Got::Entry:
                Report(m_form(text, name, type, data));
                break;
            case WholeEntryReader::Got::TooLong:
                m_uncarried.push_back({KeyName(), std::string(name), false, false,
                                       "its data is longer than " + std::to_string(image::MaxLineLength) + " bytes"});
                break;
            case WholeEntryReader::Got::End:
                return;
            case WholeEntryReader::Got::Failed:
                Fail(registry_error::OperationFailed, "Failed to read value " + std::to_string(index) + " of " +
                                                          KeyName() + ": " + ResultText(m_reader.LastFailure()) + ".");
        }
    }
}

std::vector<std::string> TextImageWriter::SubKeyNames(RegHandle key) {
    std::vector<std::string> names;
    for (std::uint32_t index = 0;; ++index) {
        if (m_reads == WalkReads::AsTheClassEnumerates) {
            std::string name;
            const long result = class_enumeration::SubKeyAt(m_api, key, index, name);
            if (result != reg::Success) {
                if (result != reg::NoMoreItems) {
                    ReportSubKeysFrom(key, index, result);
                }
                return names;
            }
            names.push_back(std::move(name));
            continue;
        }
        std::string_view name;
        switch (m_reader.SubKeyName(key, index, name)) {
            case WholeEntryReader::Got::Entry:
                names.emplace_back(name);
                break;
            case WholeEntryReader::Got::End:
                return names;
            default:
                Fail(registry_error::OperationFailed,
                     "Failed to read the sub-keys of " + KeyName() + ": " + ResultText(m_reader.LastFailure()) + ".");
        }
    }
}

void TextImageWriter::ReportValuesFrom(RegHandle key, std::uint32_t index, const std::string& reason) {
    std::string_view name;
    WholeEntryReader::Got got = WholeEntryReader::Got::End;
    for (; (got = m_reader.ValueName(key, index, name)) == WholeEntryReader::Got::Entry; ++index) {
        m_uncarried.push_back({KeyName(), std::string(name), false, false, reason});
    }
    if (got == WholeEntryReader::Got::Failed) {
        m_uncarried.push_back({KeyName(), "", false, false,
                               "left out: values the registry does not list " + ErrorCode(m_reader.LastFailure())});
    }
}

void TextImageWriter::ReportSubKeysFrom(RegHandle key, std::uint32_t index, long result) {
    const std::string reason =
        "left out with its sub-keys: the sub-key listing ends " +
        (result == reg::MoreData
             ? "at a name longer than " + std::to_string(class_enumeration::NameBufferLength - 1) + " characters"
             : "where the registry refused a name " + ErrorCode(result));
    std::string_view name;
    WholeEntryReader::Got got = WholeEntryReader::Got::End;
    for (; (got = m_reader.SubKeyName(key, index, name)) == WholeEntryReader::Got::Entry; ++index) {
        m_uncarried.push_back({KeyName() + "\\" + std::string(name), "", true, false, reason});
    }
    if (got == WholeEntryReader::Got::Failed) {
        m_uncarried.push_back({KeyName(), "", true, false,
                               "left out: sub-keys the registry does not list " + ErrorCode(m_reader.LastFailure())});
    }
}

}  // namespace vor
