#include "apps/host/ScriptLine.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace vor::host {
namespace {

[[noreturn]] void Malformed(const std::string& expected, const Word& word) {
    throw std::invalid_argument("expected " + expected + ", got '" + word.text + "'");
}

}  // namespace

std::vector<Word> SplitScriptLine(const std::string& line) {
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
    return ControlRef{text.substr(0, open), static_cast<std::int32_t>(ParseInteger(index))};
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

double ParseNumber(const Word& word) {
    double value = 0;
    const char* first = word.text.data();
    const char* last = first + word.text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (word.quoted || first == last || error != std::errc() || end != last || !std::isfinite(value)) {
        Malformed("a number", word);
    }
    return value;
}

bool ParseBool(const Word& word) {
    if (!word.quoted && word.text == "true") {
        return true;
    }
    if (!word.quoted && word.text == "false") {
        return false;
    }
    Malformed("true or false", word);
}

bool ParseVisibility(const Word& word) {
    if (!word.quoted && word.text == "visible") {
        return true;
    }
    if (!word.quoted && word.text == "hidden") {
        return false;
    }
    Malformed("visible or hidden", word);
}

}  // namespace vor::host
