#pragma once

#include <cstdint>
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

}  // namespace vor::store
