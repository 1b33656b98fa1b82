// The settings window with its template editor.
#pragma once

#include <string>
#include <vector>

#include "window.h"

namespace tallow::desk {

class SettingMan : public Window {
 public:
  explicit SettingMan(Program& app);

  // Containers come first: the controls inside them name them.
  Frame Frame1;  // "Select Your Default Mail Handling"
  Frame Frame3;  // "Other Settings"
  Frame Frame2;  // "Template Management"

  // 0 "Outlook Express" sits on the window itself, 1 "Outlook (Office)" in
  // Frame1: two containers, so Option1_Click makes them exclusive.
  ControlArray<OptionButton> Option1;
  CommandButton Command1;      // "Save Settings"
  CheckBox Check1;             // "Hide Welcome Screen"
  ControlArray<Label> Label1;  // 0: above List2, 1: above txtSubject
  ListBox List2;               // the template subjects
  TextBox txtSubject;
  Label Label2;            // "Template Message"
  TextBox txtMessage;      // multi-line
  CommandButton Command2;  // "Save Template && Changes"
  CommandButton Command3;  // "New Template"
  CommandButton Command4;  // "Delete Template"
  CommandButton Command5;  // "Close Settings"
  FileListBox File1;       // hidden: "*.txt"
  ListBox List1;           // hidden: the settings fields
  TextBox Text1;           // hidden: file name of the selected template
  TextBox Text3;           // hidden: file name of the template being edited

  // ---- public operations ----
  void OpenListMessage(int index);
  void LoadTemplate();
  void ReFreshSettings();
  void SetupForm();

  // ---- events ----
  void Form_Load() override;
  void Option1_Click(int index);
  void Command1_Click();
  void Command5_Click();
  void Check1_Click();
  // the template editor
  void List2_Click();
  void List2_DblClick();
  void txtSubject_Change();
  void txtMessage_Change();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();

 private:
  // After a save or delete: the Send Email window's list, ours, the toolbar's.
  void RefreshTemplateLists();
};

// Writes settings.dat from a window's two mail options. False, after telling
// the user, when it could not be written (the old file is then whole).
bool SaveSettingsFile(Program& app, bool outlookExpress, bool outlook);

// The mail programs that settings fields choose, as "Send" reads them: item 0
// is the Outlook Express flag, item 1 the Outlook (Office) flag.
struct MailChoice {
  bool express = false;
  bool office = false;
  bool any() const { return express || office; }
};
MailChoice ChosenMail(const std::vector<std::string>& fields);
// What settings.dat chooses now.
MailChoice SettingsFileChoice(Program& app);

// Shows a choice in a window's option pair (0 "Outlook Express", 1 "Outlook
// (Office)"), so that the window never shows a mail program that "Send" does
// not use: Outlook Express when it is chosen (when both are, "Send" uses
// Outlook first, then Outlook Express), else Outlook (Office), and neither
// option when nothing is chosen. Switching an option on raises its Click.
void ShowMailChoice(ControlArray<OptionButton>& options, MailChoice choice);

// The choice start-up writes when settings.dat chooses nothing (a first start
// among them): Outlook (Office) when the first field is exactly "0", Outlook
// Express otherwise.
bool ChoosesOffice(const std::string& firstField);

// The hide-welcome check box of the settings window and of the welcome
// window: run after the box's value has changed. Checking it asks first and
// on Yes writes the marker; on No the box ends unchecked; an unchecked box
// removes the marker. When the marker cannot be written or removed, the box
// is set back to show whether it is there.
void HideWelcomeClick(Program& app, CheckBox& box);

}  // namespace tallow::desk
