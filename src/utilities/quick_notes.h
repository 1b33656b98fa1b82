// The note window: its text is read from data.txt when it opens and written
// back when it closes.
#pragma once

#include <optional>
#include <string>

#include "window.h"

namespace tallow::utilities {

class QuickNotes : public Window {
 public:
  explicit QuickNotes(Program& app);

  Image Image1;   // the background: a panel around the note box, a close button at the lower right
  TextBox Text1;  // the note text, multi-line
  Label Label1;   // no caption: the click area over the drawn close button

  // ---- public operations ----
  // Fills the note box from data.txt; a file that is there but cannot be
  // read leaves the box as it is, and the user is told why.
  void LoadTheData();
  // Writes the note box to data.txt. False, after telling the user why, when
  // it could not be written: the old file is then whole. After a load that
  // failed, nothing is written until the text changes (and the file itself
  // refuses the write while it still cannot be read).
  bool SaveIt();

  // ---- events ----
  void Form_Load() override;
  void Form_Unload(int& cancel) override;
  void Label1_Click();

 private:
  // data.txt with its folder, as the user is told it.
  std::string NotesPath();
  // The text the box held when data.txt could not be read; none after a load
  // that read it or found none.
  std::optional<std::string> unreadText_;
};

}  // namespace tallow::utilities
