// The root-list add-contact window.
#pragma once

#include "window.h"

namespace tallow::desk {

class AddAddress2 : public Window {
 public:
  explicit AddAddress2(Program& app);
};

}  // namespace tallow::desk
