#include "desk/setting_man.h"

#include "program.h"

namespace tallow::desk {

SettingMan::SettingMan(Program& app) : Window(app, "SettingMan") { geometry = {0, 0, 400, 300}; }

}  // namespace tallow::desk
