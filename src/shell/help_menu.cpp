#include "shell/help_menu.h"

#include "program.h"

namespace tallow::shell {

HelpMenu::HelpMenu(Program& app) : Window(app, "HelpMenu"), Command1(*this, "Command1", nullptr, "Close") {
  icon = "program";
  centred = true;
  geometry = {0, 0, 320, 200};
  Command1.geometry = {110, 160, 100, 28};
  Command1.Click = [this] { Command1_Click(); };
}

void HelpMenu::Form_Load() { SetCaption(app.AppTitle); }

void HelpMenu::Command1_Click() { Unload(); }

}  // namespace tallow::shell
