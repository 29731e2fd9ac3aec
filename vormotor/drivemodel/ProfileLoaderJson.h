#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

namespace vor::model::profile_loader {

using Json = nlohmann::json;

// How far a profile may go; docs/profile.md lists the same figures.
inline constexpr std::size_t kMaxTextBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxDepth = 32;
inline constexpr std::size_t kMaxQuotedChars = 60;

// The JSON document of a profile's text. Besides the syntax, refuses what the JSON library lets
// through or cannot place: nesting deeper than kMaxDepth, a key twice in one object, a number
// too large for a double, and a text above kMaxTextBytes.
Json ParseJson(const std::string& text, const std::string& fileName);

// A profile's text and the name of its file.
struct Source {
    const std::string& text;
    const std::string& file;
};

// Raises the loader's error for the value at `path` of a document read from `source`:
// "FILE: line L: PATH: PROBLEM", without the line when no value has that path (a missing key).
// `shownPath` is how the message shows the path.
[[noreturn]] void RefuseAt(const Source& source, const std::string& path, const std::string& problem,
                           const std::string& shownPath);

// Raises the loader's error "FILE: PLACE: PROBLEM".
[[noreturn]] void Refuse(const std::string& file, const std::string& place, const std::string& problem);

// At most kMaxQuotedChars characters of `text` (whole UTF-8 characters, "..." when cut), so that a
// message quoting the profile stays one short line.
std::string Excerpt(const std::string& text);

// A value as a message shows it: a single value as written, an array or an object by its kind.
std::string Describe(const Json& value);

}  // namespace vor::model::profile_loader
