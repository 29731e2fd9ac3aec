#include "apps/reg/RegEditForm.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryApi.h"

namespace vor {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Continuation = "\\\r\n  ";
// How much of a line its problem repeats.
constexpr std::size_t EchoedLength = 200;

struct Escape {
    char written;
    char meant;
};
// \n and \r are how the registry editor writes line breaks inside a text.
constexpr Escape Escapes[] = {{'\\', '\\'}, {'"', '"'}, {'n', '\n'}, {'r', '\r'}};

template <typename PerLine>
void ForEachLine(std::string_view text, PerLine&& perLine) {
    std::size_t number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find(LineEnd, start), text.size());
        perLine(number, text.substr(start, end - start), end < text.size());
        start = end + LineEnd.size();
    }
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        for (const Escape& escape : Escapes) {
            if (c == escape.meant) {
                out += '\\';
                c = escape.written;
                break;
            }
        }
        out += c;
    }
    out += '"';
    return out;
}

// Reads a quoted, escaped text starting at line[i] (the opening quote); i ends after the closing quote.
std::optional<std::string> Unescaped(std::string_view line, std::size_t& i) {
    std::string text;
    for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
            ++i;
            return text;
        }
        if (line[i] != '\\' || i + 1 == line.size()) {
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
    return std::nullopt;
}

void SkipBlanks(std::string_view line, std::size_t& i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
}

// One value line of the editor's form in the image's form; the reason when it cannot be taken.
std::optional<std::string> ImageValueLine(std::string_view line, std::string& out) {
    if (line.front() == '@') {
        return "the import cannot take a key's default value (@)";
    }
    std::size_t i = 0;
    const std::optional<std::string> name = Unescaped(line, i);
    SkipBlanks(line, i);
    if (!name || i == line.size() || line[i] != '=') {
        return "not a value line of the registry editor";
    }
    ++i;
    SkipBlanks(line, i);
    const std::string_view rest = line.substr(i);
    if (name->empty()) {
        return "the import cannot take a key's default value";
    }
    if (rest == "-") {
        return "deleting a value is not supported";
    }
    if (!rest.starts_with('"')) {
        if (std::optional<std::string> problem = image::ValueNameProblem(*name)) {
            return problem;
        }
        out.append("\"").append(*name).append("\"=").append(rest);
        return std::nullopt;
    }
    const std::optional<std::string> text = Unescaped(line, i);
    if (!text) {
        return "the text has no closing quote";
    }
    if (i != line.size()) {
        return "more after the text's closing quote";
    }
    // The editor's texts end with a NUL in the registry; it shows when a line break sends one to hex notation.
    std::string value;
    if (std::optional<std::string> problem = image::AppendValueLine(value, *name, reg::Sz, *text + '\0')) {
        return problem;
    }
    // A text with line breaks comes out in hex notation; kept on one line, every later line keeps its number.
    value.resize(value.size() - LineEnd.size());
    for (std::size_t at = value.find(Continuation); at != std::string::npos; at = value.find(Continuation, at)) {
        value.erase(at, Continuation.size());
    }
    out += value;
    return std::nullopt;
}

}  // namespace

std::string ToRegEditForm(const std::string& image) {
    std::string out;
    out.reserve(image.size() + image.size() / 8);
    ForEachLine(image, [&](std::size_t, std::string_view line, bool ended) {
        const std::size_t equals = line.starts_with('"') ? line.find('=') : std::string_view::npos;
        if (equals == std::string_view::npos || equals < 2) {
            out.append(line);
        } else {
            const std::string_view name = line.substr(1, equals - 2);
            const std::string_view rest = line.substr(equals + 1);
            out.append(name.empty() ? "@" : Escaped(name)).append("=");
            out.append(rest.starts_with('"') && rest.size() >= 2
                           ? Escaped(image::QuotedText(rest.substr(1, rest.size() - 2)))
                           : std::string(rest));
        }
        if (ended) {
            out.append(LineEnd);
        }
    });
    return out;
}

ImageFromRegEdit FromRegEditForm(const std::string& text) {
    ImageFromRegEdit result;
    result.image.reserve(text.size());
    ForEachLine(text, [&](std::size_t number, std::string_view line, bool ended) {
        std::optional<std::string> problem;
        if (line.size() > image::MaxLineLength ||
            line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
            // Beyond the limits or not a text line at all: the typed image's reader says what is wrong with it.
            result.image.append(line);
        } else if (line.starts_with("[-")) {
            problem = "deleting a key is not supported";
        } else if (line.starts_with('"') || line.starts_with('@')) {
            problem = ImageValueLine(line, result.image);
        } else {
            result.image.append(line);
        }
        if (problem) {
            const std::string echo =
                line.size() > EchoedLength ? std::string(line.substr(0, EchoedLength)) + "..." : std::string(line);
            result.problems.push_back("Line " + std::to_string(number) + "=>'" + echo + "': " + *problem);
        }
        if (ended) {
            result.image.append(LineEnd);
        }
    });
    return result;
}

}  // namespace vor
