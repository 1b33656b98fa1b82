#include "desk/form1a.h"

#include "program.h"

namespace tallow::desk {

Form1a::Form1a(Program& app) : Window(app, "Form1a") { geometry = {0, 0, 400, 300}; }

}  // namespace tallow::desk
