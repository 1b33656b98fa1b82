// The scratch pad: always on top, its text never saved.
#pragma once

#include "window.h"

namespace tallow::utilities {

class TopPad : public Window {
 public:
  explicit TopPad(Program& app);

  TextBox Text1;  // the scratch text: multi-line, vertical scroll bar
  Label Label1;   // "This notepad utility will always stay on top."

  // ---- events ----
  void Form_Load() override;
};

}  // namespace tallow::utilities
