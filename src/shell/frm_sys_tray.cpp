#include "shell/frm_sys_tray.h"

#include "program.h"

namespace tallow::shell {

FrmSysTray::FrmSysTray(Program& app) : Window(app, "FrmSysTray") { borderless = true; }

}  // namespace tallow::shell
