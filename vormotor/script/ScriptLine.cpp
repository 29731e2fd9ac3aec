#include "vormotor/script/ScriptLine.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "vormotor/core/Conversions.h"

namespace vor::script {
namespace {

[[noreturn]] void Malformed(const std::string& expected, const Word& word) {
    throw std::invalid_argument("expected " + expected + ", got '" + word.text + "'");
}

// The well-formed UTF-8 sequences by their first byte: how many bytes they take and the range of the
// second byte (which rules out overlong forms, surrogates and code points above U+10FFFF); further
// bytes lie from 0x80 to 0xBF.
struct Utf8Lead {
    unsigned char first, last;
    std::size_t length;
    unsigned char secondLow, secondHigh;
};
constexpr std::array<Utf8Lead, 9> kUtf8Leads{{
    {0x00, 0x7F, 1, 0, 0},
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (const Utf8Lead& lead : kUtf8Leads) {
        if (byte(0) < lead.first || byte(0) > lead.last) {
            continue;
        }
        if (text.size() < lead.length || (lead.length > 1 && (byte(1) < lead.secondLow || byte(1) > lead.secondHigh))) {
            return 0;
        }
        for (std::size_t i = 2; i < lead.length; ++i) {
            if (byte(i) < 0x80 || byte(i) > 0xBF) {
                return 0;
            }
        }
        return lead.length;
    }
    return 0;
}

void RequireUtf8(std::string_view line) {
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t length = Utf8SequenceLength(line.substr(at));
        if (length == 0) {
            throw std::invalid_argument("invalid UTF-8 at byte " + std::to_string(at + 1));
        }
        at += length;
    }
}

// A word that is one of two unquoted spellings: true for the first.
bool ParseEither(const Word& word, std::string_view first, std::string_view second) {
    if (!word.quoted && (word.text == first || word.text == second)) {
        return word.text == first;
    }
    Malformed(std::string(first) + " or " + std::string(second), word);
}

}  // namespace

std::vector<Word> SplitScriptLine(const std::string& line) {
    RequireUtf8(line);
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Word word{"", true};
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    ++i;
                }
                word.text += line[i++];
            }
            if (i >= line.size()) {
                throw std::invalid_argument("unterminated quote");
            }
            ++i;
            words.push_back(std::move(word));
        } else {
            Word word;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') {
                word.text += line[i++];
            }
            words.push_back(std::move(word));
        }
    }
    return words;
}

ControlRef ParseControlRef(const std::string& text) {
    const auto open = text.find('(');
    if (open == std::string::npos) {
        if (text.empty() || text.find(')') != std::string::npos) {
            throw std::invalid_argument("expected a control name, got '" + text + "'");
        }
        return ControlRef{text, std::nullopt};
    }
    if (open == 0 || text.back() != ')') {
        throw std::invalid_argument("expected NAME or NAME(INDEX), got '" + text + "'");
    }
    const Word index{text.substr(open + 1, text.size() - open - 2)};
    return ControlRef{text.substr(0, open), ParseInt32(index)};
}

std::int64_t ParseInteger(const Word& word) {
    const std::string& text = word.text;
    std::int64_t value = 0;
    int base = 10;
    std::size_t start = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        start = 1;
    }
    if (text.compare(start, 2, "0x") == 0 || text.compare(start, 2, "0X") == 0) {
        base = 16;
        start += 2;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    if (word.quoted || first == last || *first == '-' || error != std::errc() || end != last) {
        Malformed("a whole number", word);
    }
    return negative ? -value : value;
}

std::int32_t ParseInt32(const Word& word) {
    const std::int64_t value = ParseInteger(word);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        throw std::invalid_argument("'" + word.text + "' does not fit 32 bits");
    }
    return static_cast<std::int32_t>(value);
}

double ParseNumber(const Word& word) {
    // A script reads the same on every machine, so its numbers always take the "." whatever the
    // user's locale; blanks can only be inside a quoted word, which is refused.
    const auto value = NumberFromText(word.text, ".");
    if (word.quoted || !value) {
        Malformed("a number", word);
    }
    return *value;
}

bool ParseBool(const Word& word) {
    return ParseEither(word, "true", "false");
}

bool ParseVisibility(const Word& word) {
    return ParseEither(word, "visible", "hidden");
}

}  // namespace vor::script
