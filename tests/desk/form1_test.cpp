// The Send Email window: layout, load, close, its buttons and the send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/send.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using desk::Form1;

class Form1Test : public ProgramTest {
 protected:
  Form1Test() { SetTexts(); }

  // Settings: the Outlook Express flag, then the Outlook (Office) flag.
  void Settings(const std::string& express, const std::string& outlook) {
    WriteFile(InFolder("settings.dat"), express + ":\r\n" + outlook + ":\r\n[END]\r\n");
  }
  Form1& Loaded() { return app.Form1(); }
  // A loaded, shown window with the three boxes filled.
  Form1& Filled() {
    Form1& w = app.Form1();
    w.Show();
    w.txtSendTo.SetText("ann@example.org");
    w.txtSubject.SetText("Hello");
    w.txtMessage.SetText("Line one\r\nLine two");
    return w;
  }
  void Press(CommandButton& button) {
    User([&] { button.Press(); });
  }
  std::vector<std::string> OutlookCalls(const std::string& body) const {
    return {"CreateObject(Outlook.application)", "createitem(0)", "Subject=Hello", "To=ann@example.org",
            "body=" + body, "Send"};
  }
  std::vector<std::string> ExpressCalls(const std::string& note) const {
    return {"SignOn",       "DownLoadMail=False",      "SessionID?",  "SessionID=42",
            "Compose",      "RecipAddress=ann@example.org", "ResolveName", "MsgSubject=Hello",
            "MsgNoteText=" + note, "Send(False)",       "SignOff"};
  }
  const std::string kMessage = "Line one\r\nLine two";
};

// ---- layout ----------------------------------------------------------------

bool Inside(const Geometry& inner, const Geometry& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}
bool Overlap(const Geometry& a, const Geometry& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

TEST_F(Form1Test, EveryControlFitsItsContainerAndNoneCoversAnother) {
  Form1& w = Loaded();
  EXPECT_TRUE(w.centred);
  EXPECT_EQ(w.icon, "program");
  EXPECT_EQ(w.Image5.Picture(), "banner");
  EXPECT_EQ(w.Image5.geometry.width, 150);
  EXPECT_EQ(w.Image5.geometry.height, 52);
  const Geometry client{0, 0, w.geometry.width, w.geometry.height};
  std::vector<Control*> drawn;
  for (Control* c : w.Controls())
    if (c->Visible() && c->Kind() != ControlKind::Timer) drawn.push_back(c);
  for (Control* c : drawn) {
    SCOPED_TRACE(c->Name());
    EXPECT_GT(c->geometry.width, 0);
    EXPECT_GT(c->geometry.height, 0);
    if (c->Container()) {
      const Geometry& f = c->Container()->geometry;
      EXPECT_TRUE(Inside(c->geometry, Geometry{0, 0, f.width, f.height}));
    } else {
      EXPECT_TRUE(Inside(c->geometry, client));
    }
  }
  // On the window, but drawn over their frame's area.
  for (Control* c : std::vector<Control*>{&w.Combo1, &w.Command6, &w.Command5})
    EXPECT_TRUE(Inside(c->geometry, w.Frame2.geometry)) << c->Name();
  for (Control* c : std::vector<Control*>{&w.Command7, &w.Command4})
    EXPECT_TRUE(Inside(c->geometry, w.Frame1.geometry)) << c->Name();
  // Controls that share a container never cover each other, except a frame
  // and what is drawn over it.
  auto frameOf = [&](Control* c) -> Control* {
    for (Frame* f : {&w.Frame1, &w.Frame2})
      if (!c->Container() && c != f && Inside(c->geometry, f->geometry)) return f;
    return nullptr;
  };
  for (Control* a : drawn) {
    for (Control* b : drawn) {
      if (a < b && a->Container() == b->Container() && frameOf(a) != b && frameOf(b) != a) {
        EXPECT_FALSE(Overlap(a->geometry, b->geometry)) << a->Name() << " and " << b->Name();
      }
    }
  }
  // Two columns: the frames on the left, the send frame on the right; the banner last.
  EXPECT_LT(w.Frame2.geometry.top, w.Frame1.geometry.top);
  EXPECT_LT(w.Frame1.geometry.top, w.Image5.geometry.top);
  EXPECT_GE(w.Frame3.geometry.left, w.Frame2.geometry.left + w.Frame2.geometry.width);
  EXPECT_LT(w.Command8.geometry.top + w.Frame1.geometry.top, w.Command7.geometry.top);
  EXPECT_LT(w.Command7.geometry.top, w.Command4.geometry.top);
  EXPECT_LT(w.Command4.geometry.top, w.Command3.geometry.top + w.Frame1.geometry.top);
}

// ---- load, one-shot hide, close ----------------------------------------------

TEST_F(Form1Test, LoadFillsTheListsAndSetsTheCaption) {
  Settings("1", "0");
  WriteFile(InFolder("data1.txt"), "First subject\r\nFirst message\r\n");
  WriteFile(InFolder("data2.txt"), "Second subject\r\nSecond message\r\n");
  Form1& w = Loaded();
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Send Email ]");
  EXPECT_TRUE(w.TopMost());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.List1.Items(), (std::vector<std::string>{"First subject", "Second subject"}));
  EXPECT_EQ(w.List1.ListIndex(), -1);
  EXPECT_EQ(w.List2.Items(), (std::vector<std::string>{"1", "\n0"}));
  EXPECT_FALSE(w.List2.Visible());
  EXPECT_EQ(w.Frame1.Caption(), "Other Options && Features");
  EXPECT_EQ(w.Label1[0].Caption(), "Choose Your Email Template");
}

TEST_F(Form1Test, HiddenOneTickAfterLoadAndOnlyOnce) {
  Form1& w = Loaded();
  w.Show();
  clock.Advance(99);
  EXPECT_TRUE(w.Visible());
  clock.Advance(1);
  EXPECT_FALSE(w.Visible());
  EXPECT_FALSE(w.Timer2.Enabled());
  EXPECT_FALSE(clock.IsScheduled(w.Timer2));
  EXPECT_TRUE(clock.IsScheduled(w.Timer1));
  w.Show();
  clock.Advance(1000);
  EXPECT_TRUE(w.Visible());
}

TEST_F(Form1Test, ClosingHidesAndKeepsEverything) {
  Form1& w = Filled();
  w.List2.AddItem("kept");
  app.UnloadForm(w, 0);
  w.Unload();
  ASSERT_TRUE(app.Form1.IsLoaded());
  EXPECT_EQ(&app.Form1(), &w);
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  EXPECT_EQ(w.txtSubject.Text(), "Hello");
  EXPECT_EQ(w.txtMessage.Text(), kMessage);
  EXPECT_TRUE(windows.detached.empty());
  EXPECT_TRUE(clock.IsScheduled(w.Timer1));
}

// ---- buttons -----------------------------------------------------------------

TEST_F(Form1Test, ClearEmptiesTheBoxesAndKeepsTheLists) {
  WriteFile(InFolder("data1.txt"), "S\r\nM\r\n");
  Form1& w = Filled();
  w.List1.SetListIndex(0);
  w.txtSendTo.SetText("bob@example.org");
  Press(w.Command2);
  EXPECT_EQ(w.txtSendTo.Text(), "");
  EXPECT_EQ(w.txtSubject.Text(), "");
  EXPECT_EQ(w.txtMessage.Text(), "");
  EXPECT_EQ(w.List1.ListIndex(), 0);
  EXPECT_EQ(w.List1.ListCount(), 1);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, ButtonsThatOpenOtherWindows) {
  Form1& w = Filled();
  Press(w.Command3);  // Help
  EXPECT_TRUE(app.Tutorial.IsLoaded() && app.Tutorial.get()->Visible());
  EXPECT_TRUE(w.Visible());

  Press(w.Command5);  // Add Address
  EXPECT_TRUE(app.AddAddress.IsLoaded() && app.AddAddress.get()->Visible());
  EXPECT_TRUE(w.Visible());

  Press(w.Command4);  // Template Settings
  EXPECT_TRUE(app.SettingMan.IsLoaded() && app.SettingMan.get()->Visible());
  EXPECT_FALSE(w.Visible());

  w.Show();
  Press(w.Command7);  // Manage Important Information
  EXPECT_TRUE(app.Form1a.IsLoaded() && app.Form1a.get()->Visible());
  EXPECT_FALSE(w.Visible());

  w.Show();
  Press(w.Command8);  // Utilities
  EXPECT_TRUE(app.UtilityBrowser.IsLoaded() && app.UtilityBrowser.get()->Visible());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
}

TEST_F(Form1Test, CaptureClipboardTakesItsTextOnly) {
  Form1& w = Filled();
  clipboard.text = "From the clipboard\r\nsecond line";
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), clipboard.text);
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  EXPECT_EQ(w.txtSubject.Text(), "Hello");

  clipboard.failing = true;  // held by another program
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), "From the clipboard\r\nsecond line");

  clipboard.failing = false;
  clipboard.text = "";  // a picture, or nothing
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), "");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, ChoosingATemplateFillsSubjectAndMessage) {
  WriteFile(InFolder("data1.txt"), "Greeting\r\nDear friend,\r\nsee you.\r\n\r\n");
  WriteFile(InFolder("data2.txt"), "Other\r\nx\r\n");
  Form1& w = Filled();
  User([&] { w.List1.SetListIndex(0); });
  EXPECT_EQ(w.txtSubject.Text(), "Greeting");
  EXPECT_EQ(w.txtMessage.Text(), "Dear friend,\r\nsee you.\r\n\r\n");
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  User([&] { w.List1.SetListIndex(1); });
  EXPECT_EQ(w.txtSubject.Text(), "Other");
  EXPECT_EQ(w.txtMessage.Text(), "x\r\n");
}

// ---- the send ----------------------------------------------------------------

TEST_F(Form1Test, RefusalsComeOneAtATimeInTheirOrder) {
  Settings("1", "1");
  Form1& w = Loaded();
  w.Show();
  struct Case {
    std::string to, message, subject, prompt;
  };
  for (const Case& c : {Case{"", "", "", "Please enter or select a receipent."},
                        Case{"", "m", "s", "Please enter or select a receipent."},
                        Case{"a@b", "", "", "Please enter the email message."},
                        Case{"a@b", "", "s", "Please enter the email message."},
                        Case{"a@b", "m", "", "Please enter or select a subject."}}) {
    SCOPED_TRACE(c.prompt);
    boxes.shown.clear();
    w.txtSendTo.SetText(c.to);
    w.txtMessage.SetText(c.message);
    w.txtSubject.SetText(c.subject);
    Press(w.Command1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, c.prompt);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
    EXPECT_EQ(w.txtSendTo.Text(), c.to);
    EXPECT_EQ(w.txtMessage.Text(), c.message);
    EXPECT_EQ(w.txtSubject.Text(), c.subject);
    EXPECT_TRUE(w.Visible());
    EXPECT_TRUE(mail.calls.empty());
  }
}

TEST_F(Form1Test, OutlookRoadAddsTheMailFooterAndConfirms) {
  Settings("0", "1");
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_EQ(mail.calls, OutlookCalls(kMessage + app.MailFooter));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "Message has been sent using Outlook for Office");
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(boxes.shown[0].title, "Message Delievered");
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
  EXPECT_EQ(w.txtSubject.Text(), "Hello");
  EXPECT_EQ(w.txtMessage.Text(), kMessage);
}

TEST_F(Form1Test, ExpressRoadAddsItsFooterWithoutConfirmation) {
  Settings("1", "0");
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_EQ(mail.calls, ExpressCalls(kMessage + mail::ExpressFooter(app.AppTitle)));
  EXPECT_EQ(clock.doEvents, 1);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
  EXPECT_EQ(w.txtMessage.Text(), kMessage);
}

TEST_F(Form1Test, BothRoadsOutlookFirst) {
  Settings("1", "1");
  Form1& w = Filled();
  Press(w.Command1);
  auto expected = OutlookCalls(kMessage + app.MailFooter);
  for (auto& c : ExpressCalls(kMessage + mail::ExpressFooter(app.AppTitle))) expected.push_back(c);
  EXPECT_EQ(mail.calls, expected);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
}

TEST_F(Form1Test, WhichFlagsChooseARoad) {
  struct Case {
    std::string settings;
    bool outlook, express;
  };
  for (const Case& c : {Case{"0:\r\n0:\r\n[END]\r\n", false, false}, Case{"1.5:\r\n1.5:\r\n[END]\r\n", true, true},
                        Case{"2:\r\n2:\r\n[END]\r\n", false, false}, Case{"0.9:\r\n0.9:\r\n[END]\r\n", false, false},
                        Case{"  1:\r\n  1:\r\n[END]\r\n", true, true}, Case{"yes:\r\n1:\r\n[END]\r\n", true, false},
                        Case{"1:\r\n:\r\n[END]\r\n", false, true}, Case{"1:", false, true},
                        Case{"", false, false}}) {
    SCOPED_TRACE(c.settings);
    WriteFile(InFolder("settings.dat"), c.settings);
    Form1& w = Filled();
    w.ReFreshSettings();
    mail.calls.clear();
    boxes.shown.clear();
    Press(w.Command1);
    bool outlook = !mail.calls.empty() && mail.calls.front() == "CreateObject(Outlook.application)";
    bool express = !mail.calls.empty() && mail.calls.back() == "SignOff";
    EXPECT_EQ(outlook, c.outlook);
    EXPECT_EQ(express, c.express);
    EXPECT_EQ(w.Visible(), !c.outlook && !c.express);
    EXPECT_EQ(boxes.shown.size(), c.outlook ? 1u : 0u);
    EXPECT_EQ(w.txtSendTo.Text(), "");
  }
}

TEST_F(Form1Test, NoSettingsFileSendsNothingAndEmptiesTheRecipient) {
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_TRUE(mail.calls.empty());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
  EXPECT_EQ(w.txtSubject.Text(), "Hello");
}

// ---- failed sends --------------------------------------------------------------

TEST_F(Form1Test, FailedOutlookSendIsReportedAndKeepsTheRecipient) {
  Settings("0", "1");
  for (std::string failAt : {"CreateObject", "createitem", "Subject=", "To=", "body=", "Send"}) {
    SCOPED_TRACE(failAt);
    Form1& w = Filled();
    mail.calls.clear();
    boxes.shown.clear();
    mail.failAt = failAt;
    mail.failReason = "Outlook is not installed";
    w.Hide();
    Press(w.Command1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, "The message was not sent through Outlook for Office: Outlook is not installed");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  }
}

TEST_F(Form1Test, FailedOutlookSendStopsBeforeTheOtherRoad) {
  Settings("1", "1");
  mail.failAt = "Send";  // the automation item's send; the other road is never reached
  Form1& w = Filled();
  w.Hide();
  Press(w.Command1);
  ASSERT_EQ(mail.calls.size(), 6u);
  EXPECT_EQ(mail.calls.back(), "Send");
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
}

TEST_F(Form1Test, FailedExpressStepIsNamedAndTheSessionSignedOff) {
  Settings("1", "0");
  struct Case {
    std::string failAt, step;
  };
  for (const Case& c : {Case{"SignOn", "signing on to the mail system"}, Case{"ResolveName", "resolving the recipient"},
                        Case{"Send(", "sending"}}) {
    SCOPED_TRACE(c.failAt);
    Form1& w = Filled();
    mail.calls.clear();
    boxes.shown.clear();
    mail.failAt = c.failAt;
    mail.failReason = "no such recipient";
    w.Hide();
    Press(w.Command1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "The message was not sent. The mail system failed while " + c.step + ": no such recipient");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
    ASSERT_FALSE(mail.calls.empty());
    EXPECT_EQ(mail.calls.back(), "SignOff");
    EXPECT_TRUE(w.Visible());  // shown again to retry
    EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
    EXPECT_FALSE(w.SendMailByExpress());
  }
}

TEST_F(Form1Test, ExpressFailingAfterOutlookKeepsTheRecipient) {
  Settings("1", "1");
  mail.failAt = "Compose";
  Form1& w = Filled();
  Press(w.Command1);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].title, "Message Delievered");
  EXPECT_EQ(boxes.shown[1].prompt,
            "The message was not sent. The mail system failed while starting a new message: "
            "the mail system refused it");
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
}

TEST_F(Form1Test, SignOffFailingAfterTheSendStillCountsAsSent) {
  Settings("1", "0");
  mail.failAt = "SignOff";
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
}

}  // namespace
}  // namespace tallow::testing
