#pragma once

#include <string>
#include <vector>

#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/StringTable.h"

namespace vor {

// Resolves a text stored with a resource marker (":6134:Motor Settings") to the string with that
// number; ":NNNN:" and ":NNNNN:" at the very start are markers. Any other text, and a marker
// whose string cannot be loaded, comes back unchanged. Never fails.
std::string ResText(const std::string& text, const StringTable& strings);
// The same against the component's own string table.
std::string ResText(const std::string& text);

// Passes the text-bearing properties of every control through ResText, choosing the properties by
// type name. Failures on single properties are skipped; the walk itself never fails.
void LoadResCaptions(const std::vector<Control*>& controls, const StringTable& strings);
void LoadResCaptions(const std::vector<Control*>& controls);

// A tab-strip tab text broken into lines: every single blank becomes a line feed, except that
// blanks before the first non-empty piece vanish.
std::string BreakTabText(const std::string& text);

}  // namespace vor
