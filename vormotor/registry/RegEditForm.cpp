#include "vormotor/registry/RegEditForm.h"

#include <optional>
#include <string_view>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/ImageForm.h"

namespace vor {

namespace {

using image::Continuation;
using image::LineEnd;
// How much of a line its problem repeats.
constexpr std::size_t EchoedLength = 200;

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

// Past the quoted text starting at i, escaping nothing but backslashes and quotes; npos for any other text.
std::size_t PastPlainQuoted(std::string_view line, std::size_t i) {
    if (i >= line.size() || line[i] != '"') {
        return std::string_view::npos;
    }
    for (std::size_t at = i + 1;;) {
        const std::size_t quote = line.find('"', at);
        if (quote == std::string_view::npos) {
            return std::string_view::npos;
        }
        const std::size_t escape = line.substr(at, quote - at).find('\\');
        if (escape == std::string_view::npos) {
            return quote + 1;
        }
        const std::size_t escaped = at + escape + 1;
        if (escaped == line.size() || (line[escaped] != '\\' && line[escaped] != '"')) {
            return std::string_view::npos;
        }
        at = escaped + 1;
    }
}

// A named string value written as the image writes it: read and written back, it gives the same bytes.
bool IsImageStringLine(std::string_view line) {
    const std::size_t nameEnd = PastPlainQuoted(line, 0);
    return nameEnd != std::string_view::npos && nameEnd > 2 && line.substr(nameEnd).starts_with('=') &&
           PastPlainQuoted(line, nameEnd + 1) == line.size();
}

// Appends one value line of the editor's form, other than an image string line, in the image's form; the reason when it
// cannot be taken.
std::optional<std::string> AppendImageValueLine(std::string_view line, ValueText& value, std::string& out) {
    std::size_t i = 0;
    bool named = true;
    if (line.front() == '@') {
        value.name.clear();
        i = 1;
    } else {
        named = image::ReadEscaped(line, i, value.name);
    }
    SkipBlanks(line, i);
    if (!named || i == line.size() || line[i] != '=') {
        return "not a value line of the registry editor";
    }
    ++i;
    SkipBlanks(line, i);
    const std::string_view rest = line.substr(i);
    if (rest == "-") {
        return "deleting a value is not supported";
    }
    if (!rest.starts_with('"')) {
        const std::size_t start = out.size();
        if (value.name.empty()) {
            out += '@';
        } else if (!image::AppendEscaped(out, value.name)) {
            out.resize(start);
            return "its name contains a line break or a NUL";
        }
        out.append("=").append(rest);
        return std::nullopt;
    }
    if (!image::ReadEscaped(line, i, value.text)) {
        return "the text has no closing quote";
    }
    if (i != line.size()) {
        return "more after the text's closing quote";
    }
    // The editor's texts end with a NUL in the registry; it shows when a line break sends one to hex notation.
    value.text += '\0';
    const std::size_t start = out.size();
    if (std::optional<std::string> problem = image::AppendValueLine(out, value.name, reg::Sz, value.text)) {
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

ImageFromRegEdit FromRegEditForm(std::string text) {
    ImageFromRegEdit result;
    // Most files are in the image's form already: the image is the text itself, and only the lines that change are
    // copied, with the text before them.
    std::size_t taken = 0;
    bool changed = false;
    const auto replaceLine = [&](std::string_view line) -> std::string& {
        if (!changed) {
            result.image.reserve(text.size());
            changed = true;
        }
        const auto start = static_cast<std::size_t>(line.data() - text.data());
        result.image.append(text, taken, start - taken);
        taken = start + line.size();
        return result.image;
    };
    // Without a NUL or a CR or an LF outside a line end anywhere, no line needs a look of its own.
    const bool lineBreaksInLines = image::HasLoneLineBreakOrNul(text);
    ValueText value;
    image::ForEachLine(text, [&](std::size_t number, std::string_view line) {
        std::optional<std::string> problem;
        if (line.size() > image::MaxLineLength || (lineBreaksInLines && image::HasLineBreakOrNul(line))) {
            // Beyond the limits or not a text line at all: the typed image's reader says what is wrong with it.
        } else if (line.starts_with("[-")) {
            problem = "deleting a key is not supported";
            replaceLine(line);
        } else if ((line.starts_with('"') || line.starts_with('@')) && !IsImageStringLine(line)) {
            problem = AppendImageValueLine(line, value, replaceLine(line));
        }
        if (problem) {
            const std::string echo =
                line.size() > EchoedLength ? std::string(line.substr(0, EchoedLength)) + "..." : std::string(line);
            result.problems.push_back("Line " + std::to_string(number) + "=>'" + echo + "': " + *problem);
        }
    });
    if (changed) {
        result.image.append(text, taken);
    } else {
        result.image = std::move(text);
    }
    return result;
}

}  // namespace vor
