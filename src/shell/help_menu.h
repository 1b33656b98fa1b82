// The help window: a caption and a "Close" button. Nothing opens it.
#pragma once

#include "window.h"

namespace tallow::shell {

class HelpMenu : public Window {
 public:
  explicit HelpMenu(Program& app);

  CommandButton Command1;  // "Close"

  // ---- events ----
  void Form_Load() override;
  void Command1_Click();
};

}  // namespace tallow::shell
