#include "shell/tutorial.h"

#include "program.h"

namespace tallow::shell {

Tutorial::Tutorial(Program& app) : Window(app, "Tutorial") {
  sizable = true;
  geometry = {0, 0, 709, 439};
}

void Tutorial::Form_Load() { SetCaption(app.AppTitle); }

}  // namespace tallow::shell
