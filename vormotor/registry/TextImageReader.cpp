#include "vormotor/registry/TextImageReader.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/Utf16Text.h"

namespace vor {

namespace {

constexpr std::string_view Source = "TypedImage::Load";
using image::LineEnd;
using image::Signature;
constexpr std::string_view BadSectionText = "Format Error: registry section formatting.";
constexpr std::string_view BadValueText = "Format Error: value formatting.";

// A section line's root and path: its text inside the brackets up to its first backslash, and what follows that.
std::pair<std::string_view, std::string_view> SectionParts(std::string_view line) {
    const std::string_view inner = line.substr(1, line.size() - 2);
    const std::size_t slash = std::min(inner.find('\\'), inner.size());
    return {inner.substr(0, slash), inner.substr(std::min(slash + 1, inner.size()))};
}

}  // namespace

std::string_view ImageEntry::Root() const {
    return SectionParts(text).first;
}

std::string_view ImageEntry::Path() const {
    return SectionParts(text).second;
}

TextImageReader::TextImageReader(std::string_view image) : m_image(image) {
    const std::size_t firstEnd = image.find(LineEnd);
    if (firstEnd == std::string_view::npos ||
        image.find(LineEnd, firstEnd + LineEnd.size()) == std::string_view::npos) {
        throw Error(registry_error::ImageTooShort, std::string(Source), "Format Error: too short");
    }
    if (image.substr(0, firstEnd) != Signature) {
        throw Error(registry_error::SignatureMissing, std::string(Source), "Format Error: signature missing");
    }
    m_next = firstEnd + LineEnd.size();
    m_lineBreaksInLines = image::HasLoneLineBreakOrNul(image);
}

void TextImageReader::Fail(std::int32_t number, std::string_view what, std::size_t lineNumber, std::string_view line) {
    const std::string echo = line.size() > image::EchoedLength && number == registry_error::LineTooLong
                                 ? std::string(line.substr(0, image::EchoedLength)) + "..."
                                 : std::string(line);
    // Two blanks before "Line": the texts of these errors have always been built that way.
    throw Error(number, std::string(Source),
                std::string(what) + " " + " Line " + std::to_string(lineNumber) + "=>'" + echo + "'");
}

void TextImageReader::Fail(std::int32_t number, std::string_view what, std::string_view line) const {
    Fail(number, what, m_line, line);
}

void TextImageReader::FailOn(const ImageEntry& entry, std::int32_t number, std::string_view what) {
    Fail(number, what, entry.line, entry.text);
}

// Every line is checked for what a text line may not hold before anything reads it, so a line that
// ends without CR LF cannot hide a section or value inside the line before it.
bool TextImageReader::NextLine(std::string_view& line) {
    if (m_next > m_image.size()) {
        return false;
    }
    // The line ends at the first CR LF; its first CR is that one, unless the line holds a CR of its own.
    std::size_t end = m_image.find('\r', m_next);
    const bool carriageReturnInLine =
        m_lineBreaksInLines && end != std::string_view::npos && m_image.substr(end, LineEnd.size()) != LineEnd;
    if (carriageReturnInLine) {
        end = m_image.find(LineEnd, end);
    }
    end = std::min(end, m_image.size());
    line = m_image.substr(m_next, end - m_next);
    m_next = end + LineEnd.size();
    ++m_line;
    if (line.size() > image::MaxLineLength) {
        Fail(registry_error::LineTooLong, "Format Error: line too long.", line);
    }
    if (!m_lineBreaksInLines) {
        return true;
    }
    if (line.find('\0') != std::string_view::npos) {
        Fail(registry_error::NulCharacter, "Format Error: NUL character.", line);
    }
    if (carriageReturnInLine || line.find('\n') != std::string_view::npos) {
        Fail(registry_error::BadLineEnd, "Format Error: line end without CR LF.", line);
    }
    return true;
}

bool TextImageReader::Next(ImageEntry& entry) {
    std::string_view line;
    while (NextLine(line)) {
        // The line after the signature is never read.
        if (m_line == 1 || line.empty()) {
            continue;
        }
        if (line.front() != '[' && line.front() != '"' && line.front() != '@') {
            continue;
        }
        entry.line = m_line;
        entry.text = line;
        if (line.front() == '[') {
            ReadSection(line, entry);
        } else {
            ReadValue(line, entry);
        }
        return true;
    }
    return false;
}

void TextImageReader::ReadSection(std::string_view line, ImageEntry& entry) {
    if (line.size() < 2 || line.back() != ']') {
        Fail(registry_error::BadSection, BadSectionText, line);
    }
    // A root alone, as the registry editor writes it, stands for the root's own key.
    const auto [root, path] = SectionParts(line);
    if (root.size() < 2) {
        Fail(registry_error::BadSection, BadSectionText, line);
    }
    if (image::IsTooDeep(path)) {
        Fail(registry_error::TooDeep, "Format Error: key too deep.", line);
    }
    entry.kind = ImageEntry::Kind::Section;
}

// A value line in the registry editor's quoting: an escaped name or @, an equals sign, then an escaped text or
// the editor's notation. A name or text that escapes nothing is taken from the line as it is, without a copy.
void TextImageReader::ReadValue(std::string_view line, ImageEntry& entry) {
    std::size_t i = 0;
    bool nameInLine = true;
    if (line.front() == '@') {
        entry.name = {};
        i = 1;
    } else if (const std::optional<std::string_view> plain = image::PlainQuoted(line, i)) {
        entry.name = *plain;  // as a part of the line, it holds no line break: NextLine saw to that
    } else if (!image::ReadEscaped(line, i, m_name)) {
        Fail(registry_error::NoEqualSign, "Format Error: no equal signs.", line);
    } else if (image::HasLineBreakOrNul(m_name)) {
        Fail(registry_error::BadValue, BadValueText, line);  // \r or \n: a name no line can carry
    } else {
        nameInLine = false;
    }
    if (i == line.size() || line[i] != '=') {
        Fail(registry_error::NoEqualSign, "Format Error: no equal signs.", line);
    }
    entry.kind = ImageEntry::Kind::Value;
    m_data.clear();
    const std::string_view rest = line.substr(i + 1);
    if (!rest.starts_with('"')) {
        ReadTypedData(line, rest, entry);
        Keep(entry, nameInLine, false);
        return;
    }
    std::size_t end = i + 1;
    const std::optional<std::string_view> plain = image::PlainQuoted(line, end);
    if ((!plain && !image::ReadEscaped(line, end, m_data)) || end != line.size()) {
        Fail(registry_error::BadValue, BadValueText, line);
    }
    entry.data = plain.value_or(std::string_view());
    entry.quoted = true;
    entry.type = reg::Sz;
    Keep(entry, nameInLine, plain.has_value());
}

// Gives the entry the name and data read into the reader's buffers, where the line does not hold them as they are.
void TextImageReader::Keep(ImageEntry& entry, bool nameInLine, bool dataInLine) {
    if (nameInLine && dataInLine) {
        entry.kept.reset();
        return;
    }
    if (nameInLine) {
        entry.kept = std::make_unique<std::string>(std::move(m_data));
        entry.data = *entry.kept;
        return;
    }
    entry.kept = std::make_unique<std::string>(m_name);
    if (!dataInLine) {
        entry.kept->append(m_data);
        entry.data = std::string_view(*entry.kept).substr(m_name.size());
    }
    entry.name = std::string_view(*entry.kept).substr(0, m_name.size());
}

void TextImageReader::ReadTypedData(std::string_view line, std::string_view rest, ImageEntry& entry) {
    entry.quoted = false;
    const std::string_view first = line;
    // The length of the value as if on one line, however it is wrapped.
    std::size_t length = line.size();
    image::Piece piece = image::ReadTypedStart(rest, entry.type, m_data);
    while (piece == image::Piece::Continues) {
        if (!NextLine(line)) {
            Fail(registry_error::BadValue, BadValueText, first);
        }
        // Less the backslash that continued the line before and the blanks that indent this one.
        length = length - 1 + (line.size() - std::min(line.find_first_not_of(" \t"), line.size()));
        if (length > image::MaxLineLength) {
            Fail(registry_error::LineTooLong, "Format Error: line too long.", line);
        }
        piece = image::ReadHexLine(line, m_data);
    }
    if (piece == image::Piece::Malformed) {
        Fail(registry_error::BadValue, BadValueText, line);
    }
    if (image::IsTextType(entry.type)) {
        std::optional<std::string> text = FromUtf16Le(m_data);
        if (!text) {
            Fail(registry_error::NotInCodePage, "Format Error: text not in the code page.", line);
        }
        m_data = std::move(*text);
    }
}

}  // namespace vor
