#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vor::script {

// One word of a script line. A quoted word ("Use Sensors") may hold blanks; \" and \\ escape
// inside quotes. Quoting tells a text from a number: pick NAME "2" picks the item whose text is 2.
struct Word {
    std::string text;
    bool quoted = false;
};

// Splits a script line into words; "#" outside quotes starts a comment. Raises for an
// unterminated quote and for a line that is not valid UTF-8 (answers are JSON, which is UTF-8).
std::vector<Word> SplitScriptLine(const std::string& line);

// A control reference NAME or NAME(I).
struct ControlRef {
    std::string name;
    std::optional<std::int32_t> index;
};
ControlRef ParseControlRef(const std::string& text);

// Strict readers for command arguments; each raises with a message naming what was expected.
std::int64_t ParseInteger(const Word& word);
std::int32_t ParseInt32(const Word& word);
double ParseNumber(const Word& word);
bool ParseBool(const Word& word);
bool ParseVisibility(const Word& word);

}  // namespace vor::script
