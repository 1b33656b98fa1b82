#include "stores/settings.h"

namespace tallow::stores {

std::vector<std::string> ParseSettings(const std::string&) { return {}; }
void ReFreshSettings(const std::string&, ListBox&, bool) {}
std::string SettingsText(bool, bool) { return {}; }
bool WriteSettings(const std::string&, bool, bool) { return false; }
bool FlagChooses(const std::string&) { return false; }

}  // namespace tallow::stores
