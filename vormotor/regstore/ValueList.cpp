#include "vormotor/regstore/ValueList.h"

#include <algorithm>
#include <cstring>

#include "vormotor/regstore/NameFold.h"

namespace vor::store {

namespace {

// Up to this many values a scan of the names is cheaper than keeping a map of them.
constexpr std::size_t ScannedValues = 16;
constexpr std::size_t ReservedValues = 32;
constexpr std::size_t ReservedBytes = 512;

}  // namespace

void ValueList::SetNumberAt(char* bytes, std::uint32_t number) {
    number = LittleEndian(number);
    std::memcpy(bytes, &number, sizeof number);
}

std::optional<ValueList> ValueList::Decode(std::string_view blob) {
    if (blob.size() > MaxBlobSize) {
        return std::nullopt;
    }
    return DecodeOwned(std::string(blob));
}

std::optional<ValueList> ValueList::DecodeOwned(std::string bytes) {
    if (bytes.size() > MaxBlobSize) {
        return std::nullopt;
    }
    ValueList list;
    list.m_blob = std::move(bytes);
    const std::string_view blob(list.m_blob);
    // Room for the values of most keys at once, never more than the blob could hold.
    list.m_entries.reserve(std::min<std::size_t>(blob.size() / HeaderSize, ReservedValues));
    for (std::size_t offset = 0; offset < blob.size();) {
        Entry entry{};
        if (!ReadEntry(blob, offset, entry)) {
            return std::nullopt;
        }
        list.m_entries.push_back(entry);
    }
    return list;
}

ValueList::Value ValueList::operator[](std::size_t index) const {
    const Entry& entry = m_entries[index];
    // Entries lie within the blob: Decode and Append made them so.
    return {NameAt(entry), entry.type, std::string_view(m_blob.data() + entry.offset + entry.nameSize, entry.dataSize)};
}

std::optional<ValueList::Value> ValueList::Find(std::string_view name) const {
    const std::optional<std::size_t> index = IndexOf(name);
    if (!index) {
        return std::nullopt;
    }
    return (*this)[*index];
}

bool ValueList::Set(std::string_view name, std::uint32_t type, std::string_view data) {
    const std::uint32_t hash = NameHash(name);
    const std::optional<std::size_t> index = IndexOf(name, hash);
    if (!index) {
        if (m_blob.size() + HeaderSize + name.size() + data.size() > MaxBlobSize) {
            return false;
        }
        Append(name, type, data);
        // Hashed already, and every earlier entry is: a load sets value after value of a new key.
        m_hashes.reserve(m_entries.capacity());
        m_hashes.push_back(hash);
        if (!m_index.empty()) {
            m_index.emplace(hash, m_entries.size() - 1);
        }
        return true;
    }
    Entry& entry = m_entries[*index];
    if (m_blob.size() - entry.dataSize + data.size() > MaxBlobSize) {
        return false;
    }
    if (entry.dataSize == data.size()) {
        // The common case of a value written again with data of the same size needs no new blob.
        entry.type = type;
        SetNumberAt(m_blob.data() + entry.offset - HeaderSize + sizeof(std::uint32_t), type);
        m_blob.replace(entry.offset + entry.nameSize, data.size(), data);
        return true;
    }
    // The name keeps the case it was made with, as on the platform.
    Rebuild(*index, Value{NameAt(entry), type, data});
    return true;
}

bool ValueList::Erase(std::string_view name) {
    const std::optional<std::size_t> index = IndexOf(name);
    if (!index) {
        return false;
    }
    Rebuild(*index, std::nullopt);
    return true;
}

void ValueList::Clear() {
    m_blob.clear();
    m_entries.clear();
    m_hashes.clear();
    if (!m_index.empty()) {
        m_index.clear();
    }
}

std::optional<std::size_t> ValueList::IndexOf(std::string_view name) const {
    return IndexOf(name, NameHash(name));
}

std::optional<std::size_t> ValueList::IndexOf(std::string_view name, std::uint32_t hash) const {
    // Mostly there is nothing to prepare: a load hashes each name as it sets it.
    if (m_hashes.size() != m_entries.size() || (m_entries.size() > ScannedValues && m_index.empty())) {
        PrepareLookUp();
    }
    const auto matches = [&](std::size_t i) { return m_hashes[i] == hash && SameName(NameAt(m_entries[i]), name); };
    if (m_entries.size() > ScannedValues) {
        // The first of equal names, as the scan would find it.
        std::optional<std::size_t> first;
        for (auto [candidate, end] = m_index.equal_range(hash); candidate != end; ++candidate) {
            if (matches(candidate->second) && (!first || candidate->second < *first)) {
                first = candidate->second;
            }
        }
        return first;
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (matches(i)) {
            return i;
        }
    }
    return std::nullopt;
}

// Hashes the entries added since the last look-up, and maps them once the list is long enough.
void ValueList::PrepareLookUp() const {
    const std::size_t hashed = m_hashes.size();
    for (std::size_t i = hashed; i < m_entries.size(); ++i) {
        m_hashes.push_back(NameHash(NameAt(m_entries[i])));
    }
    if (m_entries.size() > ScannedValues) {
        for (std::size_t i = m_index.empty() ? 0 : hashed; i < m_entries.size(); ++i) {
            m_index.emplace(m_hashes[i], i);
        }
    }
}

void ValueList::Append(std::string_view name, std::uint32_t type, std::string_view data) {
    if (m_entries.empty()) {
        // Room for the values of most keys: a list built value by value grows once.
        m_entries.reserve(ReservedValues);
        m_blob.reserve(ReservedBytes);
    }
    char header[HeaderSize];
    SetNumberAt(header, static_cast<std::uint32_t>(name.size()));
    SetNumberAt(header + 4, type);
    SetNumberAt(header + 8, static_cast<std::uint32_t>(data.size()));
    m_blob.append(header, HeaderSize);
    const auto offset = static_cast<std::uint32_t>(m_blob.size());
    m_blob.append(name).append(data);
    m_entries.push_back(
        {offset, static_cast<std::uint32_t>(name.size()), type, static_cast<std::uint32_t>(data.size())});
}

// A new blob with the entry at index replaced, or left out: built aside, as the replacement's name
// is a view into the blob being replaced.
void ValueList::Rebuild(std::size_t index, const std::optional<Value>& replacement) {
    ValueList rebuilt;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::optional<Value> value = i == index ? replacement : std::optional<Value>((*this)[i]);
        if (value) {
            rebuilt.Append(value->name, value->type, value->data);
        }
    }
    *this = std::move(rebuilt);
}

// FNV-1a over the folded name.
std::uint32_t ValueList::NameHash(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(FoldChar(c))) * 16777619u;
    }
    return hash;
}

std::string_view ValueList::NameAt(const Entry& entry) const {
    return std::string_view(m_blob.data() + entry.offset, entry.nameSize);
}

}  // namespace vor::store
