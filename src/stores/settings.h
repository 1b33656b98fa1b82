// "settings.dat": "1:" or "0:" for Outlook Express, "1:" or "0:" for Outlook
// (Office), "[END]", each line ended by CR LF.
#pragma once

#include <string>
#include <vector>

namespace tallow::stores {

constexpr const char* kSettingsFile = "settings.dat";
constexpr const char* kHideWelcomeMarker = "showyes.dat";

// The fields of a settings text: at most 21; each is the text before a ":",
// and the ":" with the one character after it is dropped. A text ending in
// ":" yields its last field and stops.
std::vector<std::string> ParseSettings(const std::string& text);

// The fields of folder/settings.dat, as text. A missing, unreadable or empty
// file gives none.
std::vector<std::string> ReadSettings(const std::string& folder);

// The settings text before the writer's final CR LF, from the two options.
std::string SettingsText(bool outlookExpress, bool outlook);

// Writes folder/settings.dat from the two options. False when it could not
// be written (the old file is then whole); `why` (when given) then gets the
// reason.
bool WriteSettings(const std::string& folder, bool outlookExpress, bool outlook, std::string* why = nullptr);

// Whether a settings flag chooses its mail client: it reads as a number
// (leading blanks and line ends ignored) whose floor is 1. A missing field or
// one that is not a number chooses nothing.
bool FlagChooses(const std::string& field);

}  // namespace tallow::stores
