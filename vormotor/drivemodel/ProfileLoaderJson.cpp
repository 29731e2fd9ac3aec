#include "vormotor/drivemodel/ProfileLoaderJson.h"

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoader.h"

namespace vor::model::profile_loader {
namespace {

// The library's messages quote the token they stopped at, which may be a whole file long.
constexpr std::size_t kMaxLibraryMessageChars = 160;
// A path as deep as allowed, of long keys, is cut to its end: the innermost part says most.
constexpr std::size_t kMaxPathBytes = 200;

struct TextPosition {
    std::size_t line;
    std::size_t column;
};

// The line and column of the last of the first `consumed` bytes; both count from 1.
TextPosition PositionOf(const std::string& text, std::size_t consumed) {
    const std::size_t end = std::min(consumed == 0 ? 0 : consumed - 1, text.size());
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n');
    const auto lineStart = text.rfind('\n', end == 0 ? 0 : end - 1);
    const auto column = end - (lineStart == std::string::npos || end == 0 ? 0 : lineStart + 1) + 1;
    return {static_cast<std::size_t>(line), column};
}

std::string TextPlace(const std::string& text, std::size_t consumed) {
    const TextPosition position = PositionOf(text, consumed);
    return "line " + std::to_string(position.line) + ", column " + std::to_string(position.column);
}

std::string ExcerptOf(const std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsChar = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsChar && ++chars > maxChars) {
            return text.substr(0, i) + "...";
        }
    }
    return text;
}

// The library's message without its "[json.exception...] " and "parse error at ...: " prefixes,
// which repeat what the place already says.
std::string LibraryProblem(const Json::exception& error) {
    std::string detail = error.what();
    const auto bracket = detail.find("] ");
    detail.erase(0, bracket == std::string::npos ? 0 : bracket + 2);
    if (detail.starts_with("parse error")) {
        const auto colon = detail.find(": ");
        detail.erase(0, colon == std::string::npos ? 0 : colon + 2);
    }
    return ExcerptOf(detail, kMaxLibraryMessageChars);
}

// Follows the parser through the document, so that a refusal can name the JSON path and the line
// where the parser stands. The text is read through a stream whose position tells how far it got.
class StrictParse {
public:
    StrictParse(const std::string& text, const std::string& fileName)
        : m_text(text), m_file(fileName), m_stream(text) {}

    // How far the text is read when the value at `path` begins (its first character, or its end for
    // a single value); none when no value has that path.
    std::optional<std::size_t> Locate(const std::string& path) {
        m_wanted = &path;
        try {
            Run();
        } catch (const Found& found) {
            return found.consumed;
        }
        return std::nullopt;
    }

    Json Run() {
        try {
            return Json::parse(m_stream, [this](int, Json::parse_event_t event, Json& parsed) {
                Follow(event, parsed);
                return true;
            });
        } catch (const Json::parse_error& error) {
            Refuse(m_file, TextPlace(m_text, error.byte), LibraryProblem(error));
        } catch (const Json::exception& error) {
            RefuseHere(LibraryProblem(error));
        }
    }

private:
    struct Found {
        std::size_t consumed;
    };

    struct Level {
        bool array = false;
        std::size_t index = 0;
        std::string key;
        std::map<std::string, std::size_t> keyEnds;  // where each key of the object ends
    };

    void Follow(Json::parse_event_t event, const Json& parsed) {
        using Event = Json::parse_event_t;
        const bool valueBegins = event == Event::object_start || event == Event::array_start || event == Event::value;
        if (m_wanted != nullptr && valueBegins && Path(false) == *m_wanted) {
            throw Found{Consumed()};
        }
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                if (m_levels.size() >= kMaxDepth) {
                    RefuseHere("nested deeper than " + std::to_string(kMaxDepth) + " levels");
                }
                m_levels.push_back(Level{event == Event::array_start, 0, {}, {}});
                break;
            case Event::key: {
                Level& level = m_levels.back();
                level.key = parsed.get<std::string>();
                const auto [first, inserted] = level.keyEnds.emplace(level.key, Consumed());
                if (!inserted) {
                    RefuseHere("duplicate key (first at " + TextPlace(m_text, first->second) + ")");
                }
                break;
            }
            case Event::object_end:
            case Event::array_end:
                m_levels.pop_back();
                NextElement();
                break;
            case Event::value:
                NextElement();
                break;
        }
    }

    void NextElement() {
        if (!m_levels.empty() && m_levels.back().array) {
            ++m_levels.back().index;
        }
    }

    std::size_t Consumed() {
        return static_cast<std::size_t>(std::streamoff(m_stream.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in)));
    }

    // The path of the value being read, as the loader names places; `shown` for a message.
    std::string Path(bool shown) const {
        std::string path;
        for (const Level& level : m_levels) {
            if (level.array) {
                path += "[" + std::to_string(level.index) + "]";
            } else if (!level.key.empty()) {
                path += (path.empty() ? "" : ".") + (shown ? Excerpt(level.key) : level.key);
            }
        }
        if (!shown || path.size() <= kMaxPathBytes) {
            return path;
        }
        std::size_t start = path.size() - kMaxPathBytes;
        while ((static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) {
            ++start;
        }
        return "..." + path.substr(start);
    }

    [[noreturn]] void RefuseHere(const std::string& problem) {
        const std::string path = Path(true);
        Refuse(m_file, TextPlace(m_text, Consumed()) + (path.empty() ? "" : ": " + path), problem);
    }

    const std::string& m_text;
    const std::string& m_file;
    std::istringstream m_stream;
    std::vector<Level> m_levels;
    const std::string* m_wanted = nullptr;
};

}  // namespace

Json ParseJson(const std::string& text, const std::string& fileName) {
    if (text.size() > kMaxTextBytes) {
        Refuse(fileName, "", "larger than " + std::to_string(kMaxTextBytes) + " bytes");
    }
    return StrictParse(text, fileName).Run();
}

void RefuseAt(const Source& source, const std::string& path, const std::string& problem, const std::string& shownPath) {
    // Only the line: the parser notices a single value at its end, or a character past it.
    const auto consumed = StrictParse(source.text, source.file).Locate(path);
    const std::string line = consumed ? "line " + std::to_string(PositionOf(source.text, *consumed).line) : "";
    Refuse(source.file, line + (line.empty() || shownPath.empty() ? "" : ": ") + shownPath, problem);
}

void Refuse(const std::string& file, const std::string& place, const std::string& problem) {
    throw Error(ProfileLoader::kErrorNumber, "drivemodel", file + ": " + (place.empty() ? "" : place + ": ") + problem);
}

std::string Excerpt(const std::string& text) {
    return ExcerptOf(text, kMaxQuotedChars);
}

std::string Describe(const Json& value) {
    return value.is_structured() ? value.type_name() : Excerpt(value.dump());
}

}  // namespace vor::model::profile_loader
