// The note window: its text is read from data.txt when it opens and written
// back when it closes.
#pragma once

#include "window.h"

namespace tallow::utilities {

class QuickNotes : public Window {
 public:
  explicit QuickNotes(Program& app);

  Image Image1;   // the background: a panel around the note box, a close button at the lower right
  TextBox Text1;  // the note text, multi-line
  Label Label1;   // no caption: the click area over the drawn close button

  // ---- public operations ----
  // Fills the note box from data.txt; a file that cannot be read leaves the box as it is.
  void LoadTheData();
  // Writes the note box to data.txt. False, after telling the user why, when
  // it could not be written: the old file is then whole.
  bool SaveIt();

  // ---- events ----
  void Form_Load() override;
  void Form_Unload(int& cancel) override;
  void Label1_Click();
};

}  // namespace tallow::utilities
