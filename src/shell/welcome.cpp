#include "shell/welcome.h"

#include "desk/form1.h"
#include "desk/setting_man.h"
#include "program.h"
#include "shell/tutorial.h"
#include "stores/files.h"
#include "stores/settings.h"

namespace tallow::shell {

Welcome::Welcome(Program& app)
    : Window(app, "Welcome"),
      Frame1(*this, "Frame1", nullptr, "Select Your Default Mail Client"),
      Image4(*this, "Image4", nullptr, "banner"),
      Label3(*this, "Label3", nullptr,
             "Software is loaded.  Press F10 at any time to use this software.  If you need help learning to use "
             "our software then please read the tutorials made available by clicking on the Tutorial button "
             "below."),
      Command1(*this, "Command1", nullptr, "Ready!"),
      Command2(*this, "Command2", nullptr, "Read The Tutorials"),
      Shape1(*this, "Shape1"),
      Check1(*this, "Check1", nullptr, "Do not show this window when loading.") {
  geometry = {0, 0, 480, 262};
  centred = true;
  icon = "flash1";  // the host window's picture: the mail desk's windows carry "program"

  // The banner runs across the top at the picture's own height.
  Image4.geometry = {0, 0, 480, 52};
  Label3.geometry = {16, 64, 448, 48};
  Command1.geometry = {16, 126, 200, 30};
  Command2.geometry = {16, 162, 200, 30};
  Frame1.geometry = {232, 120, 232, 72};
  Frame1.fontBold = true;
  Option1.Add(0, *this, "Option1", &Frame1, "Outlook Express").geometry = {14, 24, 200, 20};
  Option1.Add(1, *this, "Option1", &Frame1, "Outlook (Office)").geometry = {14, 46, 200, 20};
  Shape1.geometry = {16, 208, 448, 38};
  Check1.geometry = {28, 217, 424, 20};
  Check1.fontBold = true;

  Option1[0].Click = [this] { Option1_Click(0); };
  Option1[1].Click = [this] { Option1_Click(1); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Check1.Click = [this] { Check1_Click(); };
}

// Copies the choice the settings window read from settings.dat, or proposes
// one when the file chooses none; switching our option on writes the file
// back and loads the Send Email window.
void Welcome::Form_Load() {
  desk::SettingMan& settings = app.SettingMan();
  desk::MailChoice choice{settings.Option1[0].Value(), settings.Option1[1].Value()};
  if (!choice.any()) (desk::ChoosesOffice(settings.List1.List(0)) ? choice.office : choice.express) = true;
  desk::ShowMailChoice(Option1, choice);
  settings.Unload();
  SetCaption(app.AppTitle);
  MakeTopmost(*this);
  ShowYes();
}

// On a failed write the Send Email window is still loaded (start-up relies on
// it for the hot keys) but keeps the settings it has, and the options show
// the choice that stays in force, none at all when settings.dat chooses none.
// With no option on there is nothing to save, and the file stays as it is.
void Welcome::SaveOutLook() {
  if (showingFile_ || (!Option1[0].Value() && !Option1[1].Value())) return;
  if (desk::SaveSettingsFile(app, Option1[0].Value(), Option1[1].Value())) {
    app.Form1().ReFreshSettings();
    return;
  }
  app.Form1();
  showingFile_ = true;  // the option's Click must not write again
  desk::ShowMailChoice(Option1, desk::SettingsFileChoice(app));
  showingFile_ = false;
}

void Welcome::ShowYes() {
  if (!stores::FileExists(stores::JoinPath(ProgramFolder(), stores::kHideWelcomeMarker))) return;
  app.Form1();
  Hide();
  hiddenAtLoad_ = true;
}

void Welcome::Form_Unload(int&) { SaveOutLook(); }

void Welcome::Option1_Click(int) { SaveOutLook(); }

void Welcome::Command1_Click() {
  app.Form1();
  Hide();
}

void Welcome::Command2_Click() {
  Hide();
  app.Form1();
  app.Tutorial().Show();
}

void Welcome::Check1_Click() { desk::HideWelcomeClick(app, Check1); }

}  // namespace tallow::shell
