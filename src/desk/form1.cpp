#include "desk/form1.h"

#include "desk/add_address.h"
#include "desk/form1a.h"
#include "desk/lists.h"
#include "desk/setting_man.h"
#include "mail/send.h"
#include "program.h"
#include "report_failure.h"
#include "shell/tutorial.h"
#include "stores/addresses.h"
#include "stores/settings.h"
#include "utilities/utility_browser.h"

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
  File1.SetVisible(false);

  geometry = {0, 0, 700, 480};
  icon = "program";
  centred = true;

  // Left-hand column: the address book, the other windows, the banner.
  Frame2.geometry = {8, 8, 240, 232};
  Combo2.geometry = {10, 24, 220, 56};
  Command10.geometry = {10, 86, 128, 26};
  Command11.geometry = {142, 86, 88, 26};
  // These four sit on the window itself, over their frame's area.
  Combo1.geometry = {18, 126, 220, 72};
  Command5.geometry = {18, 204, 106, 26};
  Command6.geometry = {128, 204, 110, 26};

  Frame1.geometry = {8, 248, 240, 156};
  Command8.geometry = {10, 23, 220, 26};
  Command7.geometry = {18, 303, 220, 26};
  Command4.geometry = {18, 335, 220, 26};
  Command3.geometry = {10, 119, 220, 26};

  Image5.geometry = {53, 414, 150, 52};

  // Right-hand column: template, recipient, subject, message, the three buttons.
  Frame3.geometry = {256, 8, 436, 464};
  Label1[0].geometry = {12, 24, 412, 16};
  List1.geometry = {12, 42, 412, 92};
  Label2.geometry = {12, 142, 412, 16};
  txtSendTo.geometry = {12, 160, 412, 24};
  Label3.geometry = {12, 192, 412, 16};
  txtSubject.geometry = {12, 210, 412, 24};
  Label4.geometry = {12, 242, 412, 16};
  txtMessage.geometry = {12, 260, 412, 156};
  Command1.geometry = {12, 426, 120, 28};
  Command9.geometry = {144, 426, 148, 28};
  Command2.geometry = {304, 426, 120, 28};

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

void Form1::AutoFill() {
  std::string text;
  if (!svc().clipboard.GetText(text)) return;
  if (stores::LooksLikeAddress(text, 44)) txtSendTo.SetText(text);
}

void Form1::OpenListMessage(int) { desk::OpenListMessage(ProgramFolder(), List1, File1, txtSubject, txtMessage); }

void Form1::LoadTemplate() { desk::LoadTemplate(ProgramFolder(), File1, List1); }

bool Form1::SendMailByExpress() {
  auto failure = mail::SendByExpress(svc().mapi, svc().loop, txtSendTo, txtSubject, txtMessage, app.AppTitle);
  if (!failure) return true;
  NotSent("The message was not sent. The mail system failed while " + failure->step + ": " + failure->reason);
  return false;
}

void Form1::ReFreshSettings() { desk::ReFreshSettings(ProgramFolder(), List2, /*clearFirst=*/true); }

void Form1::Form_Load() {
  MakeTopmost(*this);
  SetCaption(app.AppTitle + " - [ Send Email ]");
  LoadTemplate();
  ReFreshSettings();
  ReFreshAddressBook();
}

void Form1::Form_Unload(int& cancel) {
  Hide();
  cancel = 1;
}

void Form1::Timer2_Timer() {
  Hide();
  Timer2.SetEnabled(false);
}

// Every key that is down now acts, in this order; a held key acts at every tick.
void Form1::Timer1_Timer() {
  KeyState& keys = svc().keys;
  if (keys.IsKeyDown(vbKeyF10)) {
    Show();
    AutoFill();
  }
  if (keys.IsKeyDown(vbKeyF12)) app.Form1a().Show();
  if (keys.IsKeyDown(vbKeyF9)) svc().keyboard.Type(txtMessage.Text());
  if (keys.IsKeyDown(vbKeyF8)) svc().keyboard.Type(txtSubject.Text());
  if (keys.IsKeyDown(vbKeyEscape) && Visible()) Hide();
}

// Shows the window again over the reason, so that the user can retry.
void Form1::NotSent(const std::string& prompt) {
  Show();
  ReportFailure(app, prompt);
}

void Form1::Command1_Click() {
  auto refuse = [this](const std::string& prompt) {
    app.MsgBox(prompt, MsgButtons::OK, MsgIcon::Critical, app.AppTitle);
  };
  if (txtSendTo.Text().empty()) return refuse("Please enter or select a receipent.");
  if (txtMessage.Text().empty()) return refuse("Please enter the email message.");
  if (txtSubject.Text().empty()) return refuse("Please enter or select a subject.");

  // With no road there is nothing to try: the user is told how to choose one,
  // and the recipient stays.
  const MailChoice roads = ChosenMail(List2.Items());
  if (!roads.any()) {
    const std::string why = List2.ListCount() == 0 ? " could not be read" : " chooses none";
    return NotSent(std::string("The message was not sent: no mail client is chosen (") + stores::kSettingsFile + why +
                   "). Please select one under \"Template Settings\" and save the settings.");
  }
  // A road that fails stops the send before the next one: nothing has gone
  // out twice when the user tries again, and the recipient stays for that.
  if (roads.office) {
    Hide();
    try {
      mail::SendMailByOutlook(svc().automation, txtSubject.Text(), txtSendTo.Text(),
                              txtMessage.Text() + app.MailFooter);
    } catch (const MailError& e) {
      return NotSent(std::string("The message was not sent through Outlook for Office: ") + e.what());
    }
    app.MsgBox("Message has been sent using Outlook for Office", MsgButtons::OK, MsgIcon::Information,
               "Message Delievered");
    Hide();
  }
  if (roads.express) {
    Hide();
    if (!SendMailByExpress()) return;
    Hide();
  }
  // Subject and message stay for the next recipient.
  txtSendTo.SetText("");
}

void Form1::Command2_Click() {
  txtSendTo.SetText("");
  txtSubject.SetText("");
  txtMessage.SetText("");
}

void Form1::Command3_Click() { app.Tutorial().Show(); }

void Form1::Command4_Click() {
  Hide();
  app.SettingMan().Show();
}

void Form1::Command5_Click() {
  app.AddAddress().Show();
  app.AddAddress().Text1.SetFocus();
}

void Form1::Command7_Click() {
  app.Form1a().Show();
  Hide();
}

void Form1::Command8_Click() {
  app.UtilityBrowser().Show();
  Hide();
}

// A clipboard that cannot be read leaves the message as it was.
void Form1::Command9_Click() {
  std::string text;
  if (svc().clipboard.GetText(text)) txtMessage.SetText(text);
}

void Form1::List1_Click() { OpenListMessage(List1.ListIndex()); }

}  // namespace tallow::desk
