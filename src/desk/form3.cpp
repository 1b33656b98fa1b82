#include "desk/form3.h"

#include "program.h"

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
  Label1.Add(1, *this, "Label1", nullptr, "Quick Address Book");
  Label1.Add(0, *this, "Label1", nullptr, "Choose Your Email Template");
  txtMessage.multiLine = true;
  List1.Click = [this] { List1_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
}

void Form3::LoadTemplate() {}
void Form3::OpenListMessage(int) {}
void Form3::ReFreshAddressBook() {}
void Form3::Form_Load() {}
void Form3::List1_Click() {}
void Form3::Command1_Click() {}
void Form3::Command2_Click() {}
void Form3::Command3_Click() {}

}  // namespace tallow::desk
