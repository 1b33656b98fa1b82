#include "desk/setting_man.h"

#include "desk/form1.h"
#include "desk/form3.h"
#include "desk/lists.h"
#include "program.h"
#include "report_failure.h"
#include "stores/files.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace tallow::desk {

bool SaveSettingsFile(Program& app, bool outlookExpress, bool outlook) {
  if (stores::WriteSettings(app.svc().env.ProgramFolder(), outlookExpress, outlook)) return true;
  ReportFailure(app, std::string("The settings could not be saved to ") + stores::kSettingsFile + ".");
  return false;
}

MailChoice ChosenMail(const std::vector<std::string>& fields) {
  auto chooses = [&](size_t i) { return i < fields.size() && stores::FlagChooses(fields[i]); };
  return {chooses(0), chooses(1)};
}

MailChoice SettingsFileChoice(Program& app) { return ChosenMail(stores::ReadSettings(app.svc().env.ProgramFolder())); }

void ShowMailChoice(ControlArray<OptionButton>& options, MailChoice choice) {
  // Switching one on switches the other off, in either window.
  if (choice.any()) return options[choice.express ? 0 : 1].SetValue(true);
  options[0].SetValue(false);
  options[1].SetValue(false);
}

bool ChoosesOffice(const std::string& firstField) { return firstField == "0"; }

void HideWelcomeClick(Program& app, CheckBox& box) {
  // Setting the box back raises its Click, which has nothing more to do.
  static bool settingBack = false;
  if (settingBack) return;
  const std::string marker = stores::JoinPath(app.svc().env.ProgramFolder(), stores::kHideWelcomeMarker);
  bool failed = false;
  if (box.Value() == 1) {
    if (app.MsgBox("Are you sure you want to hide this screen in the future?", MsgButtons::YesNo, MsgIcon::None,
                   app.AppTitle) != vbYes) {
      // Runs this procedure again, which removes the marker (or says it
      // could not): nothing is left to do here.
      box.SetValue(0);
      return;
    }
    if (!stores::WriteWholeText(marker, "NoShow")) {
      ReportFailure(app, std::string("The choice to hide the welcome screen could not be saved to ") +
                             stores::kHideWelcomeMarker + ".");
      failed = true;
    }
  }
  if (box.Value() == 0 && stores::FileExists(marker) && !stores::DeleteFile(marker)) {
    ReportFailure(app, std::string("The choice to show the welcome screen could not be saved: ") +
                           stores::kHideWelcomeMarker + " could not be deleted.");
    failed = true;
  }
  if (!failed) return;
  settingBack = true;
  box.SetValue(stores::FileExists(marker) ? 1 : 0);
  settingBack = false;
}

SettingMan::SettingMan(Program& app)
    : Window(app, "SettingMan"),
      Frame1(*this, "Frame1", nullptr, "Select Your Default Mail Handling"),
      Frame3(*this, "Frame3", nullptr, "Other Settings"),
      Frame2(*this, "Frame2", nullptr, "Template Management"),
      Command1(*this, "Command1", nullptr, "Save Settings"),
      Check1(*this, "Check1", &Frame3, "Hide Welcome Screen"),
      List2(*this, "List2", &Frame2),
      txtSubject(*this, "txtSubject", &Frame2),
      Label2(*this, "Label2", &Frame2, "Template Message"),
      txtMessage(*this, "txtMessage", &Frame2),
      Command2(*this, "Command2", &Frame2, "Save Template && Changes"),
      Command3(*this, "Command3", &Frame2, "New Template"),
      Command4(*this, "Command4", &Frame2, "Delete Template"),
      Command5(*this, "Command5", &Frame2, "Close Settings"),
      File1(*this, "File1", "*.txt"),
      List1(*this, "List1"),
      Text1(*this, "Text1", nullptr, "Text1"),
      Text3(*this, "Text3") {
  geometry = {0, 0, 560, 520};
  centred = true;
  icon = "program";

  Frame1.geometry = {8, 8, 340, 92};
  // Option 0 and the save button stand on the window, drawn inside Frame1.
  Option1.Add(0, *this, "Option1", nullptr, "Outlook Express").geometry = {22, 32, 150, 20};
  Option1.Add(1, *this, "Option1", &Frame1, "Outlook (Office)").geometry = {176, 24, 150, 20};
  Command1.geometry = {22, 62, 130, 28};
  Frame3.geometry = {356, 8, 196, 92};
  Check1.geometry = {14, 24, 170, 20};  // level with the mail options beside it
  Check1.SetValue(1);                   // before its handler is set: checked at design

  Frame2.geometry = {8, 108, 544, 404};
  Label1.Add(0, *this, "Label1", &Frame2, "Current Templates   (Double-Click To Open)").geometry = {12, 22, 320, 16};
  List2.geometry = {12, 40, 520, 110};
  Label1.Add(1, *this, "Label1", &Frame2, "Template Subject").geometry = {12, 158, 200, 16};
  txtSubject.geometry = {12, 176, 520, 24};
  Label2.geometry = {12, 208, 200, 16};
  txtMessage.geometry = {12, 226, 520, 130};
  txtMessage.multiLine = true;
  Command2.geometry = {12, 364, 176, 30};
  Command2.fontBold = true;
  Command2.SetEnabled(false);
  Command3.geometry = {196, 364, 110, 30};
  Command4.geometry = {314, 364, 110, 30};
  Command4.SetEnabled(false);
  Command5.geometry = {432, 364, 100, 30};

  List1.SetVisible(false);
  Text1.SetVisible(false);
  Text3.SetVisible(false);

  Option1[0].Click = [this] { Option1_Click(0); };
  Option1[1].Click = [this] { Option1_Click(1); };
  Command1.Click = [this] { Command1_Click(); };
  Command5.Click = [this] { Command5_Click(); };
  Check1.Click = [this] { Check1_Click(); };
  List2.Click = [this] { List2_Click(); };
  List2.DblClick = [this] { List2_DblClick(); };
  txtSubject.Change = [this] { txtSubject_Change(); };
  txtMessage.Change = [this] { txtMessage_Change(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
}

// ---- public operations ----------------------------------------------------

void SettingMan::OpenListMessage(int) { desk::OpenListMessage(ProgramFolder(), List2, File1, txtSubject, txtMessage); }

void SettingMan::LoadTemplate() { desk::LoadTemplate(ProgramFolder(), File1, List2); }

// Runs once per load, on the list the load has just created empty.
void SettingMan::ReFreshSettings() { desk::ReFreshSettings(ProgramFolder(), List1, /*clearFirst=*/false); }

void SettingMan::SetupForm() { ShowMailChoice(Option1, ChosenMail(List1.Items())); }

// ---- the window and the mail choice -----------------------------------------

void SettingMan::Form_Load() {
  MakeTopmost(*this);
  SetCaption(app.AppTitle + " - [ Settings ]");
  LoadTemplate();
  File1.SetPath(ProgramFolder());
  ReFreshSettings();
  SetupForm();
  if (!stores::FileExists(stores::JoinPath(ProgramFolder(), stores::kHideWelcomeMarker))) Check1.SetValue(0);
}

void SettingMan::Option1_Click(int index) { Option1[index == 0 ? 1 : 0].SetValue(false); }

void SettingMan::Command1_Click() {
  if (!Option1[0].Value() && !Option1[1].Value()) {
    app.MsgBox("Please select your default mail client.", MsgButtons::OK, MsgIcon::Critical, app.AppTitle);
    return;
  }
  if (!SaveSettingsFile(app, Option1[0].Value(), Option1[1].Value())) {
    ShowMailChoice(Option1, SettingsFileChoice(app));  // the choice that stays in force
    return;
  }
  app.MsgBox("Settings have been changed.", MsgButtons::OK, MsgIcon::Information, "Settings Saved");
  app.Form1().ReFreshSettings();
}

void SettingMan::Command5_Click() { Unload(); }

void SettingMan::Check1_Click() { HideWelcomeClick(app, Check1); }

// ---- the template editor ------------------------------------------------------

void SettingMan::List2_Click() {
  Command4.SetEnabled(List2.ListIndex() != -1);
  Text1.SetText(File1.List(List2.ListIndex()));
}

void SettingMan::List2_DblClick() {
  const int index = List2.ListIndex();
  if (index == -1) return;  // no template to open
  Command4.SetEnabled(true);
  Text3.SetText(File1.List(index));
  OpenListMessage(index);
  Command2.SetEnabled(false);  // off until the user edits, whatever the boxes' changes did
}

void SettingMan::txtSubject_Change() { Command2.SetEnabled(!txtSubject.Text().empty() && !txtMessage.Text().empty()); }

void SettingMan::txtMessage_Change() { txtSubject_Change(); }

void SettingMan::Command2_Click() {
  std::string name = Text3.Text();
  if (name.empty()) name = stores::NewFileName(ProgramFolder(), File1.Pattern(), 1, ".txt");
  if (!stores::WriteWholeText(stores::JoinPath(ProgramFolder(), name),
                              stores::TemplateText(txtSubject.Text(), txtMessage.Text()))) {
    ReportFailure(app, "This template could not be saved to " + name + ".");
    return;
  }
  Text3.SetText(name);
  app.MsgBox("This template has been saved.", MsgButtons::OK, MsgIcon::Information, "Template Saved.");
  Command2.SetEnabled(false);
  RefreshTemplateLists();
}

void SettingMan::Command3_Click() {
  Command2.SetEnabled(false);
  Text3.SetText(stores::NewFileName(ProgramFolder(), File1.Pattern(), 1, ".txt"));
  txtSubject.SetText("");
  txtMessage.SetText("");
}

void SettingMan::Command4_Click() {
  const int index = List2.ListIndex();
  if (index == -1) return;
  const std::string subject = List2.List(index);
  if (!stores::DeleteFile(stores::JoinPath(ProgramFolder(), Text1.Text()))) {
    ReportFailure(app, "This template could not be deleted: " + Text1.Text() + ".");
    return;
  }
  app.MsgBox("Template Deleted: \r\n\r\n" + subject + "\r\n\r\nThis template has been removed.", MsgButtons::OK,
             MsgIcon::Information, "Template Deleted");
  RefreshTemplateLists();
}

void SettingMan::RefreshTemplateLists() {
  app.Form1().LoadTemplate();
  LoadTemplate();
  app.Form3().LoadTemplate();
}

}  // namespace tallow::desk
