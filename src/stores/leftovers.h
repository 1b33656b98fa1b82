// What a save killed half way leaves behind: a hidden temporary file beside
// the data file it was writing. No window lists it (file lists leave hidden
// files out); the next start removes those of the program's own data files.
#pragma once

#include <string>

namespace tallow::stores {

// Deletes the temporary files of the data files: in the program folder those
// of its own files (templates, information entries, settings, the
// hide-welcome marker, the book list, the root address file), in each folder
// directly inside it those of a book's address file, and in the current
// directory those of the notes file. Nothing else is touched.
void RemoveLeftoverSaves(const std::string& programFolder, const std::string& currentDirectory);

}  // namespace tallow::stores
