#include "desk/form3.h"

#include "desk/lists.h"
#include "program.h"
#include "stores/addresses.h"

namespace tallow::desk {

Form3::Form3(Program& app)
    : Window(app, "Form3"),
      Combo1(*this, "Combo1"),
      Command1(*this, "Command1", nullptr, "Send Email Address To Clipboard   [ Email Address ]"),
      Command2(*this, "Command2", nullptr, "Send Email Subject To Clipboard   [Subject]"),
      Command3(*this, "Command3", nullptr, "Send Email Message To Clipboard   [Message]"),
      List1(*this, "List1"),
      Label3(*this, "Label3", nullptr, "Preview Subject"),
      txtSubject(*this, "txtSubject"),
      Label4(*this, "Label4", nullptr, "Preview Email Message:"),
      txtMessage(*this, "txtMessage"),
      File1(*this, "File1", "*.txt") {
  geometry = {0, 0, 620, 312};
  icon = "program";
  // Left column: the quick address list and the three clipboard buttons.
  Label1.Add(1, *this, "Label1", nullptr, "Quick Address Book").geometry = {8, 8, 330, 16};
  Combo1.geometry = {8, 26, 330, 172};
  Command1.geometry = {8, 206, 330, 28};
  Command2.geometry = {8, 240, 330, 28};
  Command3.geometry = {8, 274, 330, 28};
  // Right column: the templates and the preview.
  Label1.Add(0, *this, "Label1", nullptr, "Choose Your Email Template").geometry = {350, 8, 262, 16};
  List1.geometry = {350, 26, 262, 92};
  Label3.geometry = {350, 124, 262, 16};
  txtSubject.geometry = {350, 142, 262, 24};
  Label4.geometry = {350, 172, 262, 16};
  txtMessage.geometry = {350, 190, 262, 112};
  txtMessage.multiLine = true;
  List1.Click = [this] { List1_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
}

void Form3::LoadTemplate() { desk::LoadTemplate(ProgramFolder(), File1, List1); }

void Form3::OpenListMessage(int) { desk::OpenListMessage(ProgramFolder(), List1, File1, txtSubject, txtMessage); }

// A missing root address file gives an empty list.
void Form3::ReFreshAddressBook() { LoadEntries(stores::RootAddressFile(ProgramFolder()), Combo1); }

void Form3::Form_Load() {
  SetCaption(app.AppTitle + " - [Template Toolbar]");
  ReFreshAddressBook();
  LoadTemplate();
  MakeTopmost(*this);
}

void Form3::List1_Click() {
  if (List1.ListIndex() != -1) OpenListMessage(List1.ListIndex());
}

void Form3::Command1_Click() {
  if (Combo1.ListIndex() == -1) return;
  PutOnClipboard(stores::ToolbarAddress(Combo1.List(Combo1.ListIndex())));
}

void Form3::Command2_Click() { PutOnClipboard(txtSubject.Text()); }

void Form3::Command3_Click() { PutOnClipboard(txtMessage.Text()); }

// The clipboard is emptied first, so a text that cannot be set leaves nothing stale on it.
void Form3::PutOnClipboard(const std::string& text) {
  svc().clipboard.Clear();
  svc().clipboard.SetText(text);
}

}  // namespace tallow::desk
