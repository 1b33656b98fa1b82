#include "shell/welcome.h"

#include "program.h"

namespace tallow::shell {

Welcome::Welcome(Program& app) : Window(app, "Welcome") { geometry = {0, 0, 400, 300}; centred = true; }

void Welcome::Form_Load() { SetCaption(app.AppTitle); }

}  // namespace tallow::shell
