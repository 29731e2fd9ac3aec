#include "vormotor/registry/ImageForm.h"

#include <iterator>
#include <limits>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/CharacterSet.h"
#include "vormotor/registry/Utf16Text.h"

namespace vor::image {

namespace {

// The registry editor starts a continuation line once a line of hex bytes reaches this width.
constexpr std::size_t HexLineWidth = 77;
constexpr std::string_view DwordTag = "dword:";
constexpr std::string_view BinaryTag = "hex:";
constexpr std::string_view DigitsOf = "0123456789abcdef";
constexpr CharacterSet NameBreakers(std::string_view("=\r\n\0", 4));
// What the registry editor's quoting cannot hold as it is: a backslash and a double quote, which it escapes, and
// what would break its line.
constexpr CharacterSet SpecialInEscaped(std::string_view("\\\"\r\n\0", 5));
constexpr char DefaultValueName = '@';
// What ends a run of characters that stand for themselves in a quoted text.
constexpr CharacterSet QuoteOrEscape(std::string_view("\"\\", 2));

struct Escape {
    char written;
    char meant;
};
// \n and \r are how the registry editor writes line breaks inside a text.
constexpr Escape Escapes[] = {{'\\', '\\'}, {'"', '"'}, {'n', '\n'}, {'r', '\r'}};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads 1 to maxDigits hex digits at text[i] into value, advancing i; false when there are none or more.
bool ReadHexNumber(std::string_view text, std::size_t& i, std::size_t maxDigits, std::uint32_t& value) {
    const std::size_t start = i;
    value = 0;
    while (i < text.size() && HexDigit(text[i]) >= 0) {
        value = value << 4 | static_cast<std::uint32_t>(HexDigit(text[i]));
        ++i;
    }
    return i > start && i - start <= maxDigits;
}

void SkipBlanks(std::string_view text, std::size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
}

std::string HexNumber(std::uint32_t value, std::size_t minDigits) {
    std::string digits;
    do {
        digits.insert(digits.begin(), DigitsOf[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return std::string(minDigits > digits.size() ? minDigits - digits.size() : 0, '0') + digits;
}

// Answers how many continuation breaks it wrote.
std::size_t AppendHex(std::string& text, std::size_t lineLength, std::uint32_t type, std::string_view bytes,
                      std::size_t width) {
    std::size_t breaks = 0;
    const std::string tag = type == reg::Binary ? std::string(BinaryTag) : "hex(" + HexNumber(type, 1) + "):";
    text += tag;
    lineLength += tag.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text += DigitsOf[byte >> 4];
        text += DigitsOf[byte & 0xF];
        if (i + 1 == bytes.size()) {
            break;
        }
        text += ',';
        lineLength += 3;
        if (lineLength >= width) {
            text += Continuation;
            lineLength = 2;
            ++breaks;
        }
    }
    return breaks;
}

// Appends data in the registry editor's notation (dword:, hex:, hex(N):) to a line lineLength long so
// far; answers how many continuation breaks it wrote, or nothing for text the registry's code page
// cannot hold.
std::optional<std::size_t> AppendNotation(std::string& text, std::size_t lineLength, std::uint32_t type,
                                          std::string_view data, std::size_t width = HexLineWidth) {
    if (type == reg::Dword && data.size() == 4) {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(data[i]));
        };
        text.append(DwordTag).append(HexNumber(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24, 8));
        return 0;
    }
    if (!IsTextType(type)) {
        return AppendHex(text, lineLength, type, data, width);
    }
    const std::optional<std::string> units = ToUtf16Le(data);
    if (!units) {
        return std::nullopt;
    }
    return AppendHex(text, lineLength, type, *units, width);
}

// Reads comma-separated hex bytes; a line without any is complete data only where the notation
// allows no data at all, right after its type.
Piece ReadHexBytes(std::string_view line, std::string& bytes, bool mayBeEmpty) {
    std::size_t i = 0;
    SkipBlanks(line, i);
    if (i == line.size()) {
        return mayBeEmpty ? Piece::Complete : Piece::Malformed;
    }
    for (;;) {
        std::uint32_t byte = 0;
        if (!ReadHexNumber(line, i, 2, byte)) {
            return Piece::Malformed;
        }
        bytes += static_cast<char>(byte);
        SkipBlanks(line, i);
        if (i == line.size()) {
            return Piece::Complete;
        }
        if (line[i++] != ',') {
            return Piece::Malformed;
        }
        SkipBlanks(line, i);
        if (i < line.size() && line[i] == '\\') {
            ++i;
            SkipBlanks(line, i);
            return i == line.size() ? Piece::Continues : Piece::Malformed;
        }
    }
}

}  // namespace

std::size_t KeyDepth(std::string_view path) {
    std::size_t depth = 0;
    bool inName = false;
    for (char c : path) {
        const bool separator = c == '\\' || c == '/';
        depth += !separator && !inName ? 1 : 0;
        inName = !separator;
    }
    return depth;
}

bool IsTooDeep(std::string_view path) {
    return path.size() >= 2 * MaxDepth && KeyDepth(path) > MaxDepth;
}

bool IsTextType(std::uint32_t type) {
    return type == reg::Sz || type == reg::ExpandSz || type == reg::MultiSz;
}

bool HasAnyOf(std::string_view text, std::string_view characters) {
    for (char c : characters) {
        if (text.find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool HasLineBreakOrNul(std::string_view text) {
    return HasAnyOf(text, std::string_view("\r\n\0", 3));
}

bool HasLoneLineBreakOrNul(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    const char* const c = text.data();
    const std::size_t last = text.size() - 1;
    if (c[0] == '\n' || c[last] == '\r' || c[last] == '\0') {
        return true;
    }
    // A CR without an LF after it, an LF without a CR before it: the two sides of one test. Blocks of a fixed size,
    // which the compiler turns into vector instructions, make one pass over a whole file cost less than the searches
    // of its lines.
    constexpr std::size_t Block = 256;
    std::size_t at = 0;
    for (; at + Block <= last; at += Block) {
        const char* const block = c + at;
        unsigned char lone = 0;
        for (std::size_t i = 0; i < Block; ++i) {
            lone |= static_cast<unsigned char>((block[i] == '\0') | ((block[i] == '\r') != (block[i + 1] == '\n')));
        }
        if (lone != 0) {
            return true;
        }
    }
    for (; at < last; ++at) {
        if (c[at] == '\0' || (c[at] == '\r') != (c[at + 1] == '\n')) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ValueNameProblem(std::string_view name) {
    if (NameBreakers.FindIn(name) == std::string_view::npos) {
        return std::nullopt;
    }
    if (name.find('=') != std::string_view::npos) {
        return "its name contains '='";
    }
    if (HasAnyOf(name, LineEnd)) {
        return "its name contains a line break";
    }
    if (name.find('\0') != std::string_view::npos) {
        return "its name contains a NUL";
    }
    return std::nullopt;
}

void AppendUnquoted(std::string& text, std::string_view quoted) {
    for (std::size_t start = 0;;) {
        const std::size_t backslash = quoted.find('\\', start);
        text.append(quoted.substr(start, backslash - start));
        if (backslash == std::string_view::npos) {
            return;
        }
        text += '\\';
        const bool doubled = backslash + 1 < quoted.size() && quoted[backslash + 1] == '\\';
        start = backslash + (doubled ? 2 : 1);
    }
}

bool AppendEscaped(std::string& line, std::string_view text) {
    const std::size_t start = line.size();
    line += '"';
    std::size_t run = 0;
    for (std::size_t at = SpecialInEscaped.FindIn(text); at != std::string_view::npos;
         at = SpecialInEscaped.FindIn(text, run)) {
        if (text[at] != '\\' && text[at] != '"') {
            line.resize(start);
            return false;
        }
        line.append(text.substr(run, at - run));
        line += '\\';
        line += text[at];
        run = at + 1;
    }
    line.append(text.substr(run));
    line += '"';
    return true;
}

std::optional<std::string_view> PlainQuoted(std::string_view line, std::size_t& i) {
    const std::size_t start = i + 1;
    const std::size_t quote = line.find('"', start);
    if (quote == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view text = line.substr(start, quote - start);
    if (text.find('\\') != std::string_view::npos) {
        return std::nullopt;
    }
    i = quote + 1;
    return text;
}

bool ReadEscaped(std::string_view line, std::size_t& i, std::string& text) {
    // Most texts escape nothing: copied whole up to their closing quote.
    if (const std::optional<std::string_view> plain = PlainQuoted(line, i)) {
        text.assign(*plain);
        return true;
    }
    text.clear();
    for (++i; i < line.size(); ++i) {
        // Runs of what stands for itself are copied whole.
        const std::size_t special = std::min(QuoteOrEscape.FindIn(line, i), line.size());
        text.append(line.substr(i, special - i));
        i = special;
        if (i == line.size()) {
            break;
        }
        if (line[i] == '"') {
            ++i;
            return true;
        }
        if (i + 1 == line.size()) {
            text += line[i];
            continue;
        }
        const char next = line[i + 1];
        const Escape* escape =
            std::find_if(std::begin(Escapes), std::end(Escapes), [&](const Escape& e) { return e.written == next; });
        if (escape == std::end(Escapes)) {
            text += '\\';  // the editor keeps a backslash that escapes nothing
        } else {
            text += escape->meant;
            ++i;
        }
    }
    return false;
}

std::optional<std::string> AppendValueLine(std::string& text, std::string_view name, std::uint32_t type,
                                           std::string_view data) {
    const auto tooLong = [] { return "its line would be longer than " + std::to_string(MaxLineLength) + " bytes"; };
    if (data.size() > MaxLineLength) {
        return tooLong();
    }
    const std::size_t start = text.size();
    std::size_t breaks = 0;
    if (name.empty()) {
        text += DefaultValueName;
    } else if (!AppendEscaped(text, name)) {
        return HasAnyOf(name, LineEnd) ? "its name contains a line break" : "its name contains a NUL";
    }
    text += '=';
    // The quoted form carries a string value unless a line break or a NUL would break its line.
    if (type != reg::Sz || !AppendEscaped(text, WithoutTerminatingNul(data))) {
        const std::optional<std::size_t> notationBreaks = AppendNotation(text, text.size() - start, type, data);
        if (!notationBreaks) {
            text.resize(start);
            return "its text is not valid in the registry's code page";
        }
        breaks = *notationBreaks;
    }
    // Measured as the reader measures it, escapes included: as if on one line.
    if (text.size() - start - breaks * Continuation.size() > MaxLineLength) {
        text.resize(start);
        return tooLong();
    }
    text += LineEnd;
    return std::nullopt;
}

Piece ReadTypedStart(std::string_view rest, std::uint32_t& type, std::string& bytes) {
    if (rest.starts_with(DwordTag)) {
        std::size_t i = DwordTag.size();
        std::uint32_t value = 0;
        if (!ReadHexNumber(rest, i, 8, value) || i != rest.size()) {
            return Piece::Malformed;
        }
        type = reg::Dword;
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>(value >> shift & 0xFF);
        }
        return Piece::Complete;
    }
    if (rest.starts_with(BinaryTag)) {
        type = reg::Binary;
        return ReadHexBytes(rest.substr(BinaryTag.size()), bytes, true);
    }
    constexpr std::string_view TypedTag = "hex(";
    if (!rest.starts_with(TypedTag)) {
        return Piece::Malformed;
    }
    std::size_t i = TypedTag.size();
    if (!ReadHexNumber(rest, i, 8, type) || rest.substr(i, 2) != "):") {
        return Piece::Malformed;
    }
    return ReadHexBytes(rest.substr(i + 2), bytes, true);
}

Piece ReadHexLine(std::string_view line, std::string& bytes) {
    return ReadHexBytes(line, bytes, false);
}

std::optional<std::string> OneLineNotation(std::uint32_t type, std::string_view data) {
    std::string text;
    if (!AppendNotation(text, 0, type, data, std::numeric_limits<std::size_t>::max())) {
        return std::nullopt;
    }
    return text;
}

}  // namespace vor::image
