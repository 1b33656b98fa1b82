// The settings window with its template editor.
#pragma once

#include "window.h"

namespace tallow::desk {

class SettingMan : public Window {
 public:
  explicit SettingMan(Program& app);
};

}  // namespace tallow::desk
