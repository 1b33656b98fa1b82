// The Send Email window: the program's working window and resident core.
#pragma once

#include <string>

#include "window.h"

namespace tallow::desk {

class Form1 : public Window {
 public:
  explicit Form1(Program& app);

  // Containers come first: the controls inside them name them.
  Frame Frame3;  // "Send Email", right-hand column
  Frame Frame2;  // "Quick Address Book", left-hand column, top
  Frame Frame1;  // "Other Options && Features", left-hand column, below Frame2

  CommandButton Command9;  // "Capture Clipboard"
  ListBox List1;           // the template list
  TextBox txtSendTo;
  TextBox txtSubject;
  TextBox txtMessage;          // multi-line
  CommandButton Command1;      // "Send"
  CommandButton Command2;      // "Clear"
  ControlArray<Label> Label1;  // index 0: "Choose Your Email Template"
  Label Label2;                // "Send to:"
  Label Label3;                // "Subject"
  Label Label4;                // "Email Message:"
  CommandButton Command7;      // "Manage Important Information"
  ListBox Combo1;              // the entries of the current address book
  CommandButton Command6;      // "Delete Address"
  CommandButton Command5;      // "Add Address"
  Timer Timer2;                // the one-shot hide, 100 ms
  ListBox List2;               // hidden: the settings fields
  FileListBox File1;           // hidden: "*.txt"
  CommandButton Command4;      // "Template Settings"
  Timer Timer1;                // the hot-key poll, 100 ms
  CommandButton Command3;      // "Help"
  CommandButton Command8;      // "Utilities"
  Image Image5;                // the banner
  ListBox Combo2;              // the address-book names
  CommandButton Command10;     // "Add Address Book"
  CommandButton Command11;     // "Delete"

  // ---- public operations ----
  void AutoFill();
  void OpenListMessage(int index);
  void LoadTemplate();
  // False when a step of the send failed (the user has been told which).
  bool SendMailByExpress();
  void ReFreshSettings();
  void ReFreshAddressBook();
  void RefreshAddList();

  // ---- events ----
  void Form_Load() override;
  void Form_Unload(int& cancel) override;
  void Timer2_Timer();
  void Timer1_Timer();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command7_Click();
  void Command8_Click();
  void Command9_Click();
  void List1_Click();
  // the address-book panel
  void Command6_Click();
  void Command10_Click();
  void Command11_Click();
  void Combo1_Click();
  void Combo2_Click();

 private:
  void NotSent(const std::string& prompt);
  // The address file the entry list was last read from: "Delete Address"
  // rewrites only that file.
  std::string entriesFile_;
};

}  // namespace tallow::desk
