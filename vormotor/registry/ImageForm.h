#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vor::image {

// Resource limits of both text images (CRegistry's and the typed one), the same for writing and reading: a value's line
// of at most MaxLineLength bytes, measured as if its continuation lines were joined to it (without the backslashes that
// continue and the blanks that indent them), and keys at most MaxDepth levels below their root, the platform registry's
// own depth limit.
inline constexpr std::size_t MaxLineLength = 4 * 1024 * 1024;
inline constexpr std::size_t MaxDepth = 512;
// How much of an over-long line its error repeats.
inline constexpr std::size_t EchoedLength = 80;

// The syntax both images share with the registry editor's files: the signature, their first line; the
// end of every line; what ends a line of hex bytes the next line continues, with the next line's indent.
inline constexpr std::string_view Signature = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view LineEnd = "\r\n";
inline constexpr std::string_view Continuation = "\\\r\n  ";

// Appends the line of one value in the typed image (TypedImage), with its line end, in the registry editor's
// own form: the name quoted and escaped (see AppendEscaped), a key's default value as @; string values as an escaped
// text, everything else in the editor's notation (dword:, hex:, hex(N): with continuation lines). String-typed data
// goes into hex notation as UTF-16LE, as the registry editor writes it, and so does a string holding a CR, an LF or a
// NUL. Answers why the value cannot be carried, appending nothing, or nothing when it was written.
std::optional<std::string> AppendValueLine(std::string& text, std::string_view name, std::uint32_t type,
                                           std::string_view data);

// The registry editor's quoting: text in double quotes, each backslash and double quote escaped by a backslash.
// Appends nothing and answers false when text holds a CR, an LF or a NUL, which would break the line.
bool AppendEscaped(std::string& line, std::string_view text);

// Reads a text quoted as the registry editor quotes it, starting at line[i] (the opening quote), into text;
// i ends after the closing quote. \\, \", and \r, \n (which the editor writes for line breaks) stand for
// what they escape; a backslash before anything else stays. False when the text has no closing quote.
bool ReadEscaped(std::string_view line, std::size_t& i, std::string& text);

// The quoted text starting at line[i] (the opening quote) as the line holds it, when it escapes nothing; i ends after
// its closing quote. Nothing, and i left as it was, for a text that escapes something or has no closing quote.
std::optional<std::string_view> PlainQuoted(std::string_view line, std::size_t& i);

// Why a value of this name cannot be carried in CRegistry's image: a reader ends a name at the first '=', a line at
// CR LF and a name at a NUL. Nothing for a name that can.
std::optional<std::string> ValueNameProblem(std::string_view name);

// Whether text holds any of characters: one library search over the text per character kind, which is
// fast on long texts such as whole lines (std::string_view::find_first_of makes a search per character
// of the text instead; CharacterSet is faster on short names and texts).
bool HasAnyOf(std::string_view text, std::string_view characters);

// Whether text holds a CR, an LF or a NUL, any of which would break the line that carries it.
bool HasLineBreakOrNul(std::string_view text);

// Whether text holds a NUL, or a CR or an LF that is not part of a CR LF: when it does not, none of the lines it is cut
// into at CR LF holds any of them, and they need no search of their own.
bool HasLoneLineBreakOrNul(std::string_view text);

// data without its terminating NUL, which is not part of a string value's text. Inline: a save asks it of every value.
inline std::string_view WithoutTerminatingNul(std::string_view data) {
    if (!data.empty() && data.back() == '\0') {
        data.remove_suffix(1);
    }
    return data;
}

// Appends the text of a quoted string value, given without its quotes: every doubled backslash made single.
void AppendUnquoted(std::string& text, std::string_view quoted);

// Reading the notation back, one physical line at a time. Complete: the data ended on this line;
// Continues: the line ended with ",\" and the next line carries more bytes; Malformed: not the notation.
enum class Piece { Complete, Continues, Malformed };

// The part of a value line after the equals sign, when it is not a quoted text: dword:, hex: or hex(N):.
// Sets the type; appends the bytes found on this line.
Piece ReadTypedStart(std::string_view rest, std::uint32_t& type, std::string& bytes);
// A continuation line of hex bytes.
Piece ReadHexLine(std::string_view line, std::string& bytes);

// Calls perLine(number, line) for each line of text, numbered from 0, split at CR LF. A text that ends with CR LF
// ends with an empty line.
template <typename PerLine>
void ForEachLine(std::string_view text, PerLine&& perLine) {
    constexpr std::string_view lineEnd = "\r\n";
    std::size_t number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find(lineEnd, start), text.size());
        perLine(number, text.substr(start, end - start));
        start = end + lineEnd.size();
    }
}

// Levels of a key path: its non-empty names between backslashes (or forward slashes, which
// OpenKey turns into backslashes).
std::size_t KeyDepth(std::string_view path);

// Whether a key path is more than MaxDepth levels deep. Names are at least a character long and
// separated by one, so a path shorter than twice MaxDepth never is, which spares most paths the count.
bool IsTooDeep(std::string_view path);

// Types whose data is text in the code page of the registry calls, carried in hex notation as UTF-16LE.
bool IsTextType(std::uint32_t type);

// A value's data in the registry editor's notation on one line, without continuations: dword:, hex:
// or hex(N):, text types as UTF-16LE; nothing for text the registry's code page cannot hold.
std::optional<std::string> OneLineNotation(std::uint32_t type, std::string_view data);

}  // namespace vor::image
