// What a file list (FileListBox) shows of a folder. Apart from the control,
// so that code that only needs the listing (the stores among it) can have it
// without the window model.
#pragma once

#include <string>
#include <vector>

namespace tallow {

// File-name matching of a file list: "*" and "?" wildcards, letters compared
// without regard to case.
bool MatchesPattern(const std::string& name, const std::string& pattern);
// What a file list of that folder and pattern lists: the ordinary, visible
// files whose names hold no line break, in the file list's order.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

}  // namespace tallow
