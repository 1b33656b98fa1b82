// The template toolbar: loaded hidden by the refresh calls of other windows.
#pragma once

#include <string>

#include "window.h"

namespace tallow::desk {

class Form3 : public Window {
 public:
  explicit Form3(Program& app);

  ControlArray<Label> Label1;  // 0: "Choose Your Email Template", 1: "Quick Address Book"
  ListBox Combo1;              // the quick address list
  CommandButton Command1;      // "Send Email Address To Clipboard   [ Email Address ]"
  CommandButton Command2;      // "Send Email Subject To Clipboard   [Subject]"
  CommandButton Command3;      // "Send Email Message To Clipboard   [Message]"
  ListBox List1;               // the template subjects
  Label Label3;                // "Preview Subject"
  TextBox txtSubject;
  Label Label4;        // "Preview Email Message:"
  TextBox txtMessage;  // multi-line
  FileListBox File1;   // hidden: "*.txt"

  // ---- public operations ----
  void LoadTemplate();
  void OpenListMessage(int index);
  void ReFreshAddressBook();

  // ---- events ----
  void Form_Load() override;
  void List1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

 private:
  void PutOnClipboard(const std::string& text);
};

}  // namespace tallow::desk
