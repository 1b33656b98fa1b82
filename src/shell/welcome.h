// The welcome window that start-up shows.
#pragma once

#include "window.h"

namespace tallow::shell {

class Welcome : public Window {
 public:
  explicit Welcome(Program& app);
  void Form_Load() override;
};

}  // namespace tallow::shell
