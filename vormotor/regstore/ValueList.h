#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vor::store {

// The values of one key, in the order they were made, kept as the one blob the store writes in the
// key's row: a key's values are read and written together, which costs the store one row per key
// instead of one per value. Names match case-insensitively (ASCII letters only, as the store folds).
//
// The blob is, per value: name size, type and data size as 32-bit little-endian numbers, then the
// name's bytes and the data's bytes.
class ValueList {
public:
    struct Value {
        std::string_view name;
        std::uint32_t type;
        std::string_view data;
    };

    // The most bytes one key's values may take together: what one SQLite row can hold by default.
    static constexpr std::size_t MaxBlobSize = 1'000'000'000;

    // Empty when the blob is not one this class wrote: a damaged row must not be read past its end.
    static std::optional<ValueList> Decode(std::string_view blob);
    // The same for a blob the list takes over, without a copy.
    static std::optional<ValueList> DecodeOwned(std::string blob);
    // The values of a blob Decode would take, in order, for one pass without a list of their own: visit(value)
    // until it answers false. Answers how many were visited; nothing, and none visited, for a blob Decode refuses.
    template <typename Visit>
    static std::optional<std::size_t> VisitBlob(std::string_view blob, Visit&& visit);

    std::string_view Blob() const { return m_blob; }
    std::size_t Size() const { return m_entries.size(); }
    Value operator[](std::size_t index) const;
    std::optional<Value> Find(std::string_view name) const;

    // A value set again keeps its place; a new one goes last. False, and nothing changed, when the
    // key's values would outgrow MaxBlobSize.
    [[nodiscard]] bool Set(std::string_view name, std::uint32_t type, std::string_view data);
    // False when there is no such value.
    bool Erase(std::string_view name);
    // No values, keeping the room the list has taken.
    void Clear();

private:
    struct Entry {
        std::uint32_t offset;  // of the name; the data follows it
        std::uint32_t nameSize;
        std::uint32_t type;
        std::uint32_t dataSize;
    };
    static constexpr std::size_t HeaderSize = 3 * sizeof(std::uint32_t);

    // Numbers are stored little-endian whatever the machine, so a store file moves between machines;
    // swapping the bytes both writes and reads them on a big-endian one.
    static constexpr std::uint32_t LittleEndian(std::uint32_t number) {
        if constexpr (std::endian::native == std::endian::little) {
            return number;
        }
        return ((number & 0xFF) << 24) | ((number & 0xFF00) << 8) | ((number >> 8) & 0xFF00) | (number >> 24);
    }
    static void SetNumberAt(char* bytes, std::uint32_t number);
    static std::uint32_t NumberAt(std::string_view blob, std::size_t offset) {
        std::uint32_t number = 0;
        std::memcpy(&number, blob.data() + offset, sizeof number);
        return LittleEndian(number);
    }
    // The entry at offset, with offset moved past it; false where the blob is not one this class wrote. Inline:
    // a save reads every value of a tree through it.
    static bool ReadEntry(std::string_view blob, std::size_t& offset, Entry& entry) {
        if (blob.size() - offset < HeaderSize) {
            return false;
        }
        const std::uint32_t nameSize = NumberAt(blob, offset);
        const std::uint32_t type = NumberAt(blob, offset + 4);
        const std::uint32_t dataSize = NumberAt(blob, offset + 8);
        if (std::uint64_t{nameSize} + dataSize > blob.size() - offset - HeaderSize) {
            return false;
        }
        entry = {static_cast<std::uint32_t>(offset + HeaderSize), nameSize, type, dataSize};
        offset += HeaderSize + nameSize + dataSize;
        return true;
    }

    std::optional<std::size_t> IndexOf(std::string_view name) const;
    std::optional<std::size_t> IndexOf(std::string_view name, std::uint32_t hash) const;
    void PrepareLookUp() const;
    void Append(std::string_view name, std::uint32_t type, std::string_view data);
    void Rebuild(std::size_t index, const std::optional<Value>& replacement);
    static std::uint32_t NameHash(std::string_view name);
    std::string_view NameAt(const Entry& entry) const;

    std::string m_blob;
    std::vector<Entry> m_entries;
    // Made when names are first looked up, not when a list is read to be enumerated: the hash of
    // each entry's folded name, which tells most names apart without comparing them, and, once a
    // key has enough values that a scan costs more than a map, hash -> entry.
    mutable std::vector<std::uint32_t> m_hashes;
    mutable std::unordered_multimap<std::uint32_t, std::size_t> m_index;
};

template <typename Visit>
std::optional<std::size_t> ValueList::VisitBlob(std::string_view blob, Visit&& visit) {
    if (blob.size() > MaxBlobSize) {
        return std::nullopt;
    }
    Entry entry{};
    for (std::size_t offset = 0; offset < blob.size();) {
        if (!ReadEntry(blob, offset, entry)) {
            return std::nullopt;
        }
    }
    std::size_t visited = 0;
    for (std::size_t offset = 0; offset < blob.size() && ReadEntry(blob, offset, entry); ++visited) {
        if (!visit(Value{blob.substr(entry.offset, entry.nameSize), entry.type,
                         blob.substr(entry.offset + entry.nameSize, entry.dataSize)})) {
            break;
        }
    }
    return visited;
}

}  // namespace vor::store
