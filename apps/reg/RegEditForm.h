#pragma once

#include <string>
#include <vector>

namespace vor {

// The registry editor's files differ from the typed image (TypedImage) in how names and texts are quoted:
// the editor escapes backslashes and double quotes in both (and writes line breaks in texts as \r
// and \n), writes a key's default value as @, and may put blanks around the equals sign; the image
// writes names as they are, doubles only the backslashes of texts and takes a name up to the first
// equals sign. Sections, typed values and all other lines are the same in both.

// A typed image (as TypedImage::Save writes it) in the registry editor's quoting, line for line.
std::string ToRegEditForm(const std::string& image);

struct ImageFromRegEdit {
    std::string image;
    // One entry per line that cannot be taken, "Line N=>'line': why", N counted from 0 as in the
    // registry's format errors; when there are any, image is incomplete.
    std::vector<std::string> problems;
};

// A file in the registry editor's form as a typed image (TypedImage) to load, keeping every line on
// its line number.
ImageFromRegEdit FromRegEditForm(const std::string& text);

}  // namespace vor
