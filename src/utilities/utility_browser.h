// The utility menu.
#pragma once

#include "window.h"

namespace tallow::utilities {

class UtilityBrowser : public Window {
 public:
  explicit UtilityBrowser(Program& app);
};

}  // namespace tallow::utilities
