#include "stores/leftovers.h"

#include <filesystem>

#include "platform/file_list.h"
#include "stores/addresses.h"
#include "stores/files.h"
#include "stores/settings.h"

namespace tallow::stores {

namespace fs = std::filesystem;

static bool IsProgramFolderFile(const std::string& name) {
  return name == kSettingsFile || name == kHideWelcomeMarker ||
         name == std::string(kBookListName) + "." + kBookListExt || name == kAddressFile ||
         MatchesPattern(name, "*.txt") || MatchesPattern(name, "*.txx");
}

void RemoveLeftoverSaves(const std::string& programFolder, const std::string& currentDirectory) {
  RemoveTemporaries(programFolder, IsProgramFolderFile);
  std::error_code ec;
  for (auto it = fs::directory_iterator(programFolder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code sec;
    // A link could lead out of the program folder: no book folder is one.
    if (it->is_directory(sec) && !it->is_symlink(sec))
      RemoveTemporaries(it->path().string(), [](const std::string& name) { return name == kAddressFile; });
  }
  RemoveTemporaries(currentDirectory, [](const std::string& name) { return name == kNotesFile; });
}

}  // namespace tallow::stores
