// The tutorial window.
#pragma once

#include "window.h"

namespace tallow::shell {

class Tutorial : public Window {
 public:
  explicit Tutorial(Program& app);
  void Form_Load() override;
};

}  // namespace tallow::shell
