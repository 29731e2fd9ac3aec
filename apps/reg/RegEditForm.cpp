#include "apps/reg/RegEditForm.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "vormotor/registry/CharacterSet.h"
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
// What Escapes stands for.
constexpr std::string_view Meant = "\\\"\n\r";
static_assert(std::ranges::equal(Meant, Escapes, {}, {}, &Escape::meant));
constexpr image::CharacterSet MeantByEscapes(Meant);

// Appends text quoted and escaped, copying the runs between the characters that need escaping.
void AppendEscaped(std::string& out, std::string_view text) {
    out += '"';
    std::size_t run = 0;
    for (std::size_t at = MeantByEscapes.FindIn(text); at != std::string_view::npos;
         at = MeantByEscapes.FindIn(text, run)) {
        const Escape* escape =
            std::find_if(std::begin(Escapes), std::end(Escapes), [&](const Escape& e) { return e.meant == text[at]; });
        out.append(text.substr(run, at - run));
        out += '\\';
        out += escape->written;
        run = at + 1;
    }
    out.append(text.substr(run));
    out += '"';
}

// Reads a quoted, escaped text starting at line[i] (the opening quote) into text; i ends after the
// closing quote. False when the text has no closing quote.
bool ReadEscaped(std::string_view line, std::size_t& i, std::string& text) {
    text.clear();
    ++i;
    // Most texts escape nothing: copied whole up to their closing quote.
    const std::size_t quote = line.find('"', i);
    if (quote != std::string_view::npos && line.substr(i, quote - i).find('\\') == std::string_view::npos) {
        text.append(line.substr(i, quote - i));
        i = quote + 1;
        return true;
    }
    for (; i < line.size(); ++i) {
        if (line[i] == '"') {
            ++i;
            return true;
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
    return false;
}

void SkipBlanks(std::string_view line, std::size_t& i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
}

// The name and text of the value line being read, kept from line to line for their storage.
struct ValueText {
    std::string name;
    std::string text;
};

// Appends one value line of the editor's form in the image's form; the reason when it cannot be taken.
std::optional<std::string> AppendImageValueLine(std::string_view line, ValueText& value, std::string& out) {
    if (line.front() == '@') {
        return "the import cannot take a key's default value (@)";
    }
    std::size_t i = 0;
    const bool named = ReadEscaped(line, i, value.name);
    SkipBlanks(line, i);
    if (!named || i == line.size() || line[i] != '=') {
        return "not a value line of the registry editor";
    }
    ++i;
    SkipBlanks(line, i);
    const std::string_view rest = line.substr(i);
    const std::string& name = value.name;
    if (name.empty()) {
        return "the import cannot take a key's default value";
    }
    if (rest == "-") {
        return "deleting a value is not supported";
    }
    if (!rest.starts_with('"')) {
        if (std::optional<std::string> problem = image::ValueNameProblem(name)) {
            return problem;
        }
        out.append("\"").append(name).append("\"=").append(rest);
        return std::nullopt;
    }
    if (!ReadEscaped(line, i, value.text)) {
        return "the text has no closing quote";
    }
    if (i != line.size()) {
        return "more after the text's closing quote";
    }
    // The editor's texts end with a NUL in the registry; it shows when a line break sends one to hex notation.
    value.text += '\0';
    const std::size_t start = out.size();
    if (std::optional<std::string> problem = image::AppendValueLine(out, name, reg::Sz, value.text)) {
        return problem;
    }
    // A text with line breaks comes out in hex notation; kept on one line, every later line keeps its number.
    out.resize(out.size() - LineEnd.size());
    for (std::size_t at = out.find(Continuation, start); at != std::string::npos; at = out.find(Continuation, at)) {
        out.erase(at, Continuation.size());
    }
    return std::nullopt;
}

}  // namespace

std::string ToRegEditForm(const std::string& image) {
    std::string out;
    out.reserve(image.size() + image.size() / 8);
    std::string text;
    image::ForEachLine(image, [&](std::size_t, std::string_view line, bool ended) {
        const std::size_t equals = line.starts_with('"') ? line.find('=') : std::string_view::npos;
        if (equals == std::string_view::npos || equals < 2) {
            out.append(line);
        } else {
            const std::string_view name = line.substr(1, equals - 2);
            const std::string_view rest = line.substr(equals + 1);
            if (name.empty()) {
                out += '@';
            } else {
                AppendEscaped(out, name);
            }
            out += '=';
            if (rest.starts_with('"') && rest.size() >= 2) {
                text.clear();
                image::AppendUnquoted(text, rest.substr(1, rest.size() - 2));
                AppendEscaped(out, text);
            } else {
                out.append(rest);
            }
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
    ValueText value;
    image::ForEachLine(text, [&](std::size_t number, std::string_view line, bool ended) {
        std::optional<std::string> problem;
        if (line.size() > image::MaxLineLength || image::HasLineBreakOrNul(line)) {
            // Beyond the limits or not a text line at all: the typed image's reader says what is wrong with it.
            result.image.append(line);
        } else if (line.starts_with("[-")) {
            problem = "deleting a key is not supported";
        } else if (line.starts_with('"') || line.starts_with('@')) {
            problem = AppendImageValueLine(line, value, result.image);
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
