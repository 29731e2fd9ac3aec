#pragma once

#include <string>
#include <vector>

namespace vor {

// The typed image (TypedImage) is written in the registry editor's own form. The editor's files are
// more lenient: blanks around the equals sign, \r and \n for line breaks inside a text, and lines the
// import does not take (deleting values or keys). Sections, typed values and all other lines are the same in both.

struct ImageFromRegEdit {
    std::string image;
    // One entry per line that cannot be taken, "Line N=>'line': why", N counted from 0 as in the
    // registry's format errors; when there are any, image is incomplete.
    std::vector<std::string> problems;
};

// A file in the registry editor's form as a typed image (TypedImage) to load, keeping every line on
// its line number.
ImageFromRegEdit FromRegEditForm(std::string text);

}  // namespace vor
