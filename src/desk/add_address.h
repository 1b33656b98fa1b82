// The add-contact window.
#pragma once

#include "window.h"

namespace tallow::desk {

class AddAddress : public Window {
 public:
  explicit AddAddress(Program& app);
};

}  // namespace tallow::desk
