#include "desk/add_address2.h"

#include "program.h"

namespace tallow::desk {

AddAddress2::AddAddress2(Program& app) : Window(app, "AddAddress2") { geometry = {0, 0, 400, 300}; }

}  // namespace tallow::desk
