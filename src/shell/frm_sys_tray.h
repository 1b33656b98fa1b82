// The tray icon window: never seen; owns the icon in the notification area.
#pragma once

#include "window.h"

namespace tallow::shell {

class FrmSysTray : public Window {
 public:
  explicit FrmSysTray(Program& app);
  // The host window whose resize and unload the tray window follows.
  Form* FSys = nullptr;
};

}  // namespace tallow::shell
