// The important-information window.
#pragma once

#include "window.h"

namespace tallow::desk {

class Form1a : public Window {
 public:
  explicit Form1a(Program& app);
};

}  // namespace tallow::desk
