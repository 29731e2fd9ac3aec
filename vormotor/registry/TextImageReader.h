#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vor {

// One section or value of a typed image, as TypedImage::Load applies it: views of the image, which a load
// keeps whole, and only what the image does not hold as it is kept beside.
struct ImageEntry {
    enum class Kind : std::uint8_t { Section, Value };
    Kind kind = Kind::Section;
    // Value: quoted values are string values given as text.
    bool quoted = false;
    std::uint32_t type = 0;
    // Value: its name and data, in the line where it holds them as they are (no escapes), else in kept.
    std::string_view name;
    std::string_view data;
    std::unique_ptr<std::string> kept;
    // The entry's first line and its number, counted from 0, for the errors raised about it.
    std::size_t line = 0;
    std::string_view text;

    // Section: the root name as written and the key path below it, read from its line when asked for: a section
    // entry carries no more than a value's.
    std::string_view Root() const;
    std::string_view Path() const;
};

// Reads a typed image (see TypedImage) entry by entry, checking each line before it is handed out, so
// a caller that applies entries as they come writes nothing after a bad line. Strict where
// CRegistry's image reader is lenient: a section line must end in ']', a quoted text in '"', every
// line in CR LF, and no line may hold a NUL. Raises format errors in the form of LoadRegistry's
// (source "TypedImage::Load"), naming the line by its number counted from 0.
class TextImageReader {
public:
    // Raises the too-short and missing-signature errors.
    explicit TextImageReader(std::string_view image);

    // The next section or value; false at the end of the image.
    bool Next(ImageEntry& entry);

    // Raises an error of this number naming the entry's first line.
    [[noreturn]] static void FailOn(const ImageEntry& entry, std::int32_t number, std::string_view what);

private:
    bool NextLine(std::string_view& line);
    void ReadSection(std::string_view line, ImageEntry& entry);
    void ReadValue(std::string_view line, ImageEntry& entry);
    void ReadTypedData(std::string_view line, std::string_view rest, ImageEntry& entry);
    void Keep(ImageEntry& entry, bool nameInLine, bool dataInLine);
    [[noreturn]] void Fail(std::int32_t number, std::string_view what, std::string_view line) const;
    [[noreturn]] static void Fail(std::int32_t number, std::string_view what, std::size_t lineNumber,
                                  std::string_view line);

    std::string_view m_image;
    std::size_t m_next = 0;
    // Number of the line NextLine last gave.
    std::size_t m_line = 0;
    // Whether any line may hold a NUL, a CR or an LF; without them the lines need no look for them.
    bool m_lineBreaksInLines = true;
    // A value's name and data as read, where they are not the line's own text.
    std::string m_name;
    std::string m_data;
};

}  // namespace vor
