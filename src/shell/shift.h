// Start-up: the never-seen start-up window and the hidden host window of the
// tray icon.
#pragma once

#include <string>

#include "window.h"

namespace tallow::shell {

// The product's site; a reserved example domain of our own.
inline constexpr const char* kSiteURL = "https://tallowmark.example";
inline constexpr const char* kSiteName = "tallowmark.example";

// The title every window and message box of the program carries.
std::string ProgramTitle();

// Sets the program-wide texts: the site's address, the title, and the footer
// of an Outlook send built from both. Start-up does it first of all; the
// tests' fixtures do it in its place.
void SetProgramTexts(Program& app);

class Shift : public Window {
 public:
  explicit Shift(Program& app);
  void Form_Load() override;
};

class ToolbarShift : public Window {
 public:
  explicit ToolbarShift(Program& app);
  void Form_Load() override;
};

}  // namespace tallow::shell
