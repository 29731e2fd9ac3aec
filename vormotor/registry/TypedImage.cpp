#include "vormotor/registry/TypedImage.h"

#include <algorithm>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/ResultText.h"
#include "vormotor/registry/TextImageReader.h"
#include "vormotor/registry/TextImageWriter.h"

namespace vor {

namespace {

constexpr std::string_view SaveSource = "TypedImage::Save";
constexpr std::string_view LoadSource = "TypedImage::Load";

std::optional<UncarriedItem> AppendTypedLine(std::string& text, std::string_view name, std::uint32_t type,
                                             std::string_view data) {
    if (std::optional<std::string> problem = image::AppendValueLine(text, name, type, data)) {
        return UncarriedItem{"", std::string(name), false, false, "left out: " + *problem};
    }
    return std::nullopt;
}

// Machine-wide keys are opened for reading only, as CRegistry opens them.
std::uint32_t AccessFor(std::int32_t hive) {
    return hive == reg::LocalMachine ? reg::KeyRead : reg::KeyAllAccess | reg::GenericAll;
}

// A path as OpenKey spells it: without one leading backslash, forward slashes as backslashes. Into spelled, whose
// room serves key after key.
void SpellKeyPath(std::string_view path, std::string& spelled) {
    if (path.starts_with('\\')) {
        path.remove_prefix(1);
    }
    spelled.clear();
    spelled.append(path);
    std::replace(spelled.begin(), spelled.end(), '/', '\\');
}

std::string KeyPath(std::string_view path) {
    std::string spelled;
    SpellKeyPath(path, spelled);
    return spelled;
}

void RaiseIfBusy(long result, std::string_view source) {
    if (result == reg::StoreBusy) {
        throw Error(reg::StoreBusyError, std::string(source), reg::StoreBusyText);
    }
}

// The walk writes a root's own key as [ROOT\] and its sub-keys as [ROOT\\name]; the registry editor writes
// [ROOT] and [ROOT\name]. Section lines are the only lines that start with '[', so the change is exact.
void SpellRootSections(std::string& text, std::vector<UncarriedItem>& uncarried, std::string_view rootName) {
    const std::string written = "\r\n[" + std::string(rootName) + "\\";
    std::string spelled;
    spelled.reserve(text.size());
    std::size_t run = 0;
    for (std::size_t at = text.find(written); at != std::string::npos; at = text.find(written, run)) {
        spelled.append(text, run, at - run).append(written, 0, written.size() - 1);
        run = at + written.size();
        if (text.compare(run, 1, "]") == 0) {
            continue;  // the root's own key
        }
        spelled += '\\';
        if (text.compare(run, 1, "\\") == 0) {
            ++run;  // the walk's second backslash
        }
    }
    spelled.append(text, run);
    text = std::move(spelled);
    for (UncarriedItem& item : uncarried) {
        if (item.key.size() == rootName.size() + 1 || item.key.compare(rootName.size(), 2, "\\\\") == 0) {
            item.key.erase(rootName.size(), 1);
        }
    }
}

}  // namespace

TypedImage::TypedImage(RegistryApi& api) : m_api(api) {}

std::string TypedImage::Save(std::int32_t hive, std::string_view rootName, const std::string& path) {
    m_uncarried.clear();
    const std::string keyPath = KeyPath(path);
    const std::string keyName = std::string(rootName) + (keyPath.empty() ? "" : "\\" + keyPath);
    // A read batch: one consistent state of the tree, which keeps no writer waiting and waits for none.
    RegistryApi::Batch batch(m_api, RegistryApi::BatchUse::Read);
    RaiseIfBusy(batch.Begun(), SaveSource);
    RegHandle key = 0;
    if (const long opened = m_api.OpenKeyEx(reg::HiveHandle(hive), keyPath.c_str(), 0, AccessFor(hive), &key);
        opened != reg::Success) {
        RaiseIfBusy(opened, SaveSource);
        throw Error(registry_error::OperationFailed, std::string(SaveSource),
                    "Cannot open " + keyName + ": " + ResultText(opened) + ".");
    }
    std::string text(image::Signature);
    text += image::LineEnd;
    try {
        TextImageWriter(m_api, AccessFor(hive), AppendTypedLine, WalkReads::Whole, m_uncarried)
            .Append(text, key, rootName, keyPath);
    } catch (...) {
        m_api.CloseKey(key);
        throw;
    }
    m_api.CloseKey(key);
    if (keyPath.empty()) {
        SpellRootSections(text, m_uncarried, rootName);
    }
    return text;
}

std::vector<ImageEntry> TypedImage::Read(std::string_view image, const HiveOfRoot& hiveOf) {
    TextImageReader reader(image);
    std::vector<ImageEntry> entries;
    // Room for every entry at once: growing a large vector step by step copies it and touches fresh memory
    // at each step. Each entry starts a line with '[', '"' or '@'.
    std::size_t starts = 0;
    for (std::size_t end = image.find('\n'); end != std::string_view::npos; end = image.find('\n', end + 1)) {
        starts += end + 1 < image.size() && (image[end + 1] == '[' || image[end + 1] == '"' || image[end + 1] == '@');
    }
    // One more for the place the end of the image is read into.
    entries.reserve(starts + 1);
    // Each entry is read where it stays.
    for (;;) {
        ImageEntry& entry = entries.emplace_back();
        if (!reader.Next(entry)) {
            entries.pop_back();
            return entries;
        }
        if (entry.kind == ImageEntry::Kind::Section && !hiveOf(entry.Root())) {
            TextImageReader::FailOn(entry, registry_error::BadSection, "Format Error: unknown root.");
        }
    }
}

void TypedImage::Load(std::string_view image, const HiveOfRoot& hiveOf) {
    Load(Read(image, hiveOf), hiveOf);
}

void TypedImage::Load(const std::vector<ImageEntry>& entries, const HiveOfRoot& hiveOf) {
    RegistryApi::Batch batch(m_api);
    RaiseIfBusy(batch.Begun(), LoadSource);
    try {
        Write(entries, hiveOf);
    } catch (...) {
        batch.Cancel();
        throw;
    }
    if (const long ended = batch.End(); ended != reg::Success) {
        RaiseIfBusy(ended, LoadSource);
        throw Error(registry_error::OperationFailed, std::string(LoadSource),
                    "Failed to write the image: " + ResultText(ended) + ". Nothing of it was written.");
    }
}

// Raises at the first write that fails, naming the line and the reason.
void TypedImage::Write(const std::vector<ImageEntry>& entries, const HiveOfRoot& hiveOf) {
    const auto fail = [&](const ImageEntry& entry, std::string_view what, long result) {
        RaiseIfBusy(result, LoadSource);
        TextImageReader::FailOn(entry, registry_error::OperationFailed,
                                std::string(what) + ": " + ResultText(result) + ".");
    };
    RegHandle key = 0;
    const auto close = [&] {
        if (key != 0) {
            m_api.CloseKey(key);
            key = 0;
        }
    };
    // The key's path, the value's name and its data as the registry calls take them, NUL-terminated, in room that
    // serves entry after entry. The data too: the platform registry counts a string value's terminating NUL when
    // one follows the data it was given, so data viewed in its line (followed by the closing quote) would be
    // stored one character short there.
    std::string path;
    std::string name;
    std::string data;
    try {
        for (const ImageEntry& entry : entries) {
            if (entry.kind == ImageEntry::Kind::Section) {
                close();
                const std::int32_t hive = *hiveOf(entry.Root());
                SpellKeyPath(entry.Path(), path);
                if (const long created = m_api.CreateKeyEx(reg::HiveHandle(hive), path.c_str(), nullptr,
                                                           reg::OptionNonVolatile, AccessFor(hive), &key, nullptr);
                    created != reg::Success) {
                    key = 0;
                    fail(entry, "Failed to create the key", created);
                }
                continue;
            }
            if (key == 0) {
                TextImageReader::FailOn(entry, registry_error::OperationFailed, "No key is currently open.");
            }
            // Appended into the room they have: cheaper than assign's general replacement.
            name.clear();
            name.append(entry.name);
            data.clear();
            data.append(entry.data);
            if (const long set = m_api.SetValueEx(key, name.c_str(), entry.type,
                                                  reinterpret_cast<const unsigned char*>(data.c_str()),
                                                  static_cast<std::uint32_t>(data.size()));
                set != reg::Success) {
                fail(entry, "Failed to write the value \"" + name + "\"", set);
            }
        }
    } catch (...) {
        close();
        throw;
    }
    close();
}

}  // namespace vor
