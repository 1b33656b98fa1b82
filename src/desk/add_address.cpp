#include "desk/add_address.h"

#include "program.h"

namespace tallow::desk {

AddAddress::AddAddress(Program& app) : Window(app, "AddAddress") { geometry = {0, 0, 400, 300}; }

}  // namespace tallow::desk
