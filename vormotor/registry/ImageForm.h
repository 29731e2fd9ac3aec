#pragma once

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

// Appends the line of one value in the typed image (TypedImage), with its line end: string values as
// "name"="text" with every backslash doubled, everything else in the registry editor's notation
// (dword:, hex:, hex(N): with continuation lines). String-typed data goes into hex notation as
// UTF-16LE, as the registry editor writes it. Answers why the value cannot be carried, appending
// nothing, or nothing when it was written.
std::optional<std::string> AppendValueLine(std::string& text, std::string_view name, std::uint32_t type,
                                           std::string_view data);

// Why a value of this name cannot be carried: a reader ends a name at the first '=', a line at CR LF
// and a name at a NUL. Nothing for a name that can.
std::optional<std::string> ValueNameProblem(std::string_view name);

// Appends data with every backslash doubled, as the quoted text of a value line holds it.
void AppendDoubledBackslashes(std::string& text, std::string_view data);

// The text of a quoted string value, given without its quotes: every doubled backslash made single.
std::string QuotedText(std::string_view quoted);

// Reading the notation back, one physical line at a time. Complete: the data ended on this line;
// Continues: the line ended with ",\" and the next line carries more bytes; Malformed: not the notation.
enum class Piece { Complete, Continues, Malformed };

// The part of a value line after the equals sign, when it is not a quoted text: dword:, hex: or hex(N):.
// Sets the type; appends the bytes found on this line.
Piece ReadTypedStart(std::string_view rest, std::uint32_t& type, std::string& bytes);
// A continuation line of hex bytes.
Piece ReadHexLine(std::string_view line, std::string& bytes);

// Levels of a key path: its non-empty names between backslashes (or forward slashes, which
// OpenKey turns into backslashes).
std::size_t KeyDepth(std::string_view path);

// Types whose data is text in the code page of the registry calls, carried in hex notation as UTF-16LE.
bool IsTextType(std::uint32_t type);

}  // namespace vor::image
