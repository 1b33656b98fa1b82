// The add-book window.
#pragma once

#include "window.h"

namespace tallow::desk {

class AddBook : public Window {
 public:
  explicit AddBook(Program& app);
};

}  // namespace tallow::desk
