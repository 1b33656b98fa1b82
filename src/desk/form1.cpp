#include "desk/form1.h"

#include "program.h"

namespace tallow::desk {

Form1::Form1(Program& app)
    : Window(app, "Form1"),
      Frame3(*this, "Frame3", nullptr, "Send Email"),
      Frame2(*this, "Frame2", nullptr, "Quick Address Book"),
      Frame1(*this, "Frame1", nullptr, "Other Options && Features"),
      Command9(*this, "Command9", &Frame3, "Capture Clipboard"),
      List1(*this, "List1", &Frame3),
      txtSendTo(*this, "txtSendTo", &Frame3),
      txtSubject(*this, "txtSubject", &Frame3),
      txtMessage(*this, "txtMessage", &Frame3),
      Command1(*this, "Command1", &Frame3, "Send"),
      Command2(*this, "Command2", &Frame3, "Clear"),
      Label2(*this, "Label2", &Frame3, "Send to:"),
      Label3(*this, "Label3", &Frame3, "Subject"),
      Label4(*this, "Label4", &Frame3, "Email Message:"),
      Command7(*this, "Command7", nullptr, "Manage Important Information"),
      Combo1(*this, "Combo1"),
      Command6(*this, "Command6", nullptr, "Delete Address"),
      Command5(*this, "Command5", nullptr, "Add Address"),
      Timer2(*this, "Timer2", 100, true),
      List2(*this, "List2"),
      File1(*this, "File1", "*.txt"),
      Command4(*this, "Command4", nullptr, "Template Settings"),
      Timer1(*this, "Timer1", 100, true),
      Command3(*this, "Command3", &Frame1, "Help"),
      Command8(*this, "Command8", &Frame1, "Utilities"),
      Image5(*this, "Image5", nullptr, "banner"),
      Combo2(*this, "Combo2", &Frame2),
      Command10(*this, "Command10", &Frame2, "Add Address Book"),
      Command11(*this, "Command11", &Frame2, "Delete") {
  Label1.Add(0, *this, "Label1", &Frame3, "Choose Your Email Template");
  txtMessage.multiLine = true;
  List2.SetVisible(false);

  Timer2.OnTimer = [this] { Timer2_Timer(); };
  Timer1.OnTimer = [this] { Timer1_Timer(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command5.Click = [this] { Command5_Click(); };
  Command7.Click = [this] { Command7_Click(); };
  Command8.Click = [this] { Command8_Click(); };
  Command9.Click = [this] { Command9_Click(); };
  List1.Click = [this] { List1_Click(); };
  Command6.Click = [this] { Command6_Click(); };
  Command10.Click = [this] { Command10_Click(); };
  Command11.Click = [this] { Command11_Click(); };
  Combo1.Click = [this] { Combo1_Click(); };
  Combo2.Click = [this] { Combo2_Click(); };
}

void Form1::AutoFill() {}
void Form1::OpenListMessage(int) {}
void Form1::LoadTemplate() {}
bool Form1::SendMailByExpress() { return false; }
void Form1::ReFreshSettings() {}
void Form1::Form_Load() {}
void Form1::Form_Unload(int& cancel) {
  Hide();
  cancel = 1;
}
void Form1::Timer2_Timer() {}
void Form1::Timer1_Timer() {}
void Form1::Command1_Click() {}
void Form1::Command2_Click() {}
void Form1::Command3_Click() {}
void Form1::Command4_Click() {}
void Form1::Command5_Click() {}
void Form1::Command7_Click() {}
void Form1::Command8_Click() {}
void Form1::Command9_Click() {}
void Form1::List1_Click() {}

}  // namespace tallow::desk
