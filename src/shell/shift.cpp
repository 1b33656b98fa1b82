#include "shell/shift.h"

#include "mail/footers.h"
#include "program.h"
#include "shell/frm_sys_tray.h"
#include "shell/welcome.h"

namespace tallow::shell {

std::string ProgramTitle() { return std::string("Tallowmark By ") + kSiteName; }

void SetProgramTexts(Program& app) {
  app.SiteURL = kSiteURL;
  app.AppTitle = ProgramTitle();
  app.MailFooter = mail::BuildMailFooter(app.AppTitle, app.SiteURL);
}

Shift::Shift(Program& app) : Window(app, "Shift") {}

void Shift::Form_Load() {
  SetProgramTexts(app);
  app.ToolbarShift();
  // Its load hides it again when the user asked not to see it at start.
  auto& welcome = app.Welcome();
  if (!welcome.HiddenAtLoad()) welcome.Show();
  Unload();
}

ToolbarShift::ToolbarShift(Program& app) : Window(app, "ToolbarShift") {
  icon = "flash1";
  sizable = true;
  geometry = {0, 0, 320, 200};
}

void ToolbarShift::Form_Load() {
  SetCaption(app.AppTitle);
  auto& tray = app.FrmSysTray();
  tray.FSys = this;
}

}  // namespace tallow::shell
