// The Send Email window: layout, load, close, its buttons and the send.
#include <gtest/gtest.h>

#include <filesystem>

#include "desk/add_address.h"
#include "desk/form1.h"
#include "desk/form1a.h"
#include "desk/setting_man.h"
#include "mail/footers.h"
#include "shell/tutorial.h"
#include "support/fixture.h"
#include "utilities/utility_browser.h"

namespace tallow::testing {
namespace {

using desk::Form1;
using Calls = std::vector<std::string>;

class Form1Test : public ProgramTest {
 protected:
  Form1Test() { SetTexts(); }

  // The Outlook Express flag, then the Outlook (Office) flag.
  void Settings(const std::string& express, const std::string& outlook) {
    WriteFile(InFolder("settings.dat"), express + ":\r\n" + outlook + ":\r\n[END]\r\n");
  }
  // The window loaded, with the three boxes filled; shown unless said otherwise.
  Form1& Filled(bool shown = true) {
    Form1& w = app.Form1();
    shown ? w.Show() : w.Hide();
    w.txtSendTo.SetText("ann@example.org");
    w.txtSubject.SetText("Hello");
    w.txtMessage.SetText(kMessage);
    mail.calls.clear();
    boxes.shown.clear();
    return w;
  }
  void Press(CommandButton& button) {
    User([&] { button.Press(); });
  }
  void ExpectOneBox(const std::string& prompt, MsgIcon icon, const std::string& title) {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, prompt);
    EXPECT_EQ(boxes.shown[0].icon, icon);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OK);
    EXPECT_EQ(boxes.shown[0].title, title);
  }
  Calls OutlookCalls() const {
    return {"CreateObject(Outlook.application)", "createitem(0)", "Subject=Hello", "To=ann@example.org",
            "body=" + kMessage + app.MailFooter, "Send"};
  }
  Calls ExpressCalls() const {
    return {"SignOn",
            "DownLoadMail=False",
            "SessionID?",
            "SessionID=42",
            "Compose",
            "RecipAddress=ann@example.org",
            "ResolveName",
            "MsgSubject=Hello",
            "MsgNoteText=" + kMessage + mail::ExpressFooter(app.AppTitle),
            "Send(False)",
            "SignOff"};
  }
  const std::string kMessage = "Line one\r\nLine two";
};

bool Inside(const Geometry& in, const Geometry& out) {
  return in.left >= out.left && in.top >= out.top && in.left + in.width <= out.left + out.width &&
         in.top + in.height <= out.top + out.height;
}

TEST_F(Form1Test, EveryControlLiesInItsContainerAndNoneCoversAnother) {
  Form1& w = app.Form1();
  EXPECT_TRUE(w.centred);
  EXPECT_EQ(w.icon, "program");
  std::vector<Control*> drawn;
  for (Control* c : w.Controls())
    if (c->Visible() && c->Kind() != ControlKind::Timer) drawn.push_back(c);
  for (Control* c : drawn) {
    const Geometry& box = c->Container() ? c->Container()->geometry : w.geometry;
    EXPECT_TRUE(c->geometry.width > 0 && Inside(c->geometry, {0, 0, box.width, box.height})) << c->Name();
  }
  // On the window, drawn over their frame's area.
  auto over = [&](Control* c) -> Control* {
    for (Frame* f : {&w.Frame1, &w.Frame2})
      if (c != f && !c->Container() && Inside(c->geometry, f->geometry)) return f;
    return nullptr;
  };
  using Group = std::initializer_list<Control*>;
  for (Control* c : Group{&w.Combo1, &w.Command6, &w.Command5}) EXPECT_EQ(over(c), &w.Frame2) << c->Name();
  for (Control* c : Group{&w.Command7, &w.Command4}) EXPECT_EQ(over(c), &w.Frame1) << c->Name();
  for (Control* a : drawn) {
    for (Control* b : drawn) {
      const Geometry &g = a->geometry, &h = b->geometry;
      bool overlap = g.left < h.left + h.width && h.left < g.left + g.width && g.top < h.top + h.height &&
                     h.top < g.top + g.height;
      if (a < b && a->Container() == b->Container() && over(a) != b && over(b) != a) {
        EXPECT_FALSE(overlap) << a->Name() << " and " << b->Name();
      }
    }
  }
  EXPECT_LT(w.Frame1.geometry.top + w.Command8.geometry.top, w.Command7.geometry.top);
  EXPECT_LT(w.Command4.geometry.top, w.Frame1.geometry.top + w.Command3.geometry.top);
}

TEST_F(Form1Test, LoadFillsTheListsAndSetsTheCaption) {
  Settings("1", "0");
  WriteFile(InFolder("data1.txt"), "First subject\r\nFirst message\r\n");
  WriteFile(InFolder("data2.txt"), "Second subject\r\nSecond message\r\n");
  Form1& w = app.Form1();
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Send Email ]");
  EXPECT_TRUE(w.TopMost());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.List1.Items(), (Calls{"First subject", "Second subject"}));
  EXPECT_EQ(w.List2.Items(), (Calls{"1", "\n0"}));
}

TEST_F(Form1Test, HiddenOneTickAfterLoadOnlyOnceAndClosingHides) {
  Form1& w = Filled();
  clock.Advance(99);
  EXPECT_TRUE(w.Visible());
  clock.Advance(1);
  EXPECT_FALSE(w.Visible());
  EXPECT_FALSE(w.Timer2.Enabled());
  EXPECT_FALSE(clock.IsScheduled(w.Timer2));
  w.Show();
  clock.Advance(1000);
  EXPECT_TRUE(w.Visible());

  app.UnloadForm(w, 0);  // the title bar's close button
  EXPECT_EQ(app.Form1.get(), &w);
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  EXPECT_EQ(w.txtMessage.Text(), kMessage);
  EXPECT_TRUE(clock.IsScheduled(w.Timer1));
}

TEST_F(Form1Test, ClearAndCaptureClipboard) {
  WriteFile(InFolder("data1.txt"), "S\r\nM\r\n");
  Form1& w = Filled();
  w.List1.SetListIndex(0);
  Press(w.Command2);
  EXPECT_EQ(w.txtSendTo.Text() + w.txtSubject.Text() + w.txtMessage.Text(), "");
  EXPECT_EQ(w.List1.ListIndex(), 0);

  w.txtSendTo.SetText("ann@example.org");
  clipboard.text = "From the clipboard\r\nsecond line";
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), clipboard.text);
  clipboard.failing = true;  // held by another program
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), "From the clipboard\r\nsecond line");
  clipboard.failing = false;
  clipboard.text = "";  // a picture, or nothing
  Press(w.Command9);
  EXPECT_EQ(w.txtMessage.Text(), "");
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, ButtonsThatOpenOtherWindows) {
  Form1& w = Filled();
  auto shown = [](const SlotBase& slot) { return slot.IsLoaded() && slot.get()->Visible(); };
  Press(w.Command3);  // Help
  EXPECT_TRUE(shown(app.Tutorial) && w.Visible());
  Press(w.Command5);  // Add Address
  EXPECT_TRUE(shown(app.AddAddress) && w.Visible());
  Press(w.Command4);  // Template Settings
  EXPECT_TRUE(shown(app.SettingMan) && !w.Visible());
  w.Show();
  Press(w.Command7);  // Manage Important Information
  EXPECT_TRUE(shown(app.Form1a) && !w.Visible());
  w.Show();
  Press(w.Command8);  // Utilities
  EXPECT_TRUE(shown(app.UtilityBrowser) && !w.Visible());
}

TEST_F(Form1Test, ChoosingATemplateFillsSubjectAndMessage) {
  WriteFile(InFolder("data1.txt"), "Greeting\r\nDear friend,\r\nsee you.\r\n\r\n");
  Form1& w = Filled();
  User([&] { w.List1.SetListIndex(0); });
  EXPECT_EQ(w.txtSubject.Text(), "Greeting");
  EXPECT_EQ(w.txtMessage.Text(), "Dear friend,\r\nsee you.\r\n\r\n");
  EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
}

// ---- the send ----------------------------------------------------------------

TEST_F(Form1Test, RefusalsComeOneAtATimeInTheirOrder) {
  Settings("1", "1");
  Form1& w = Filled();
  struct Case {
    std::string to, message, subject, prompt;
  };
  for (const Case& c : {Case{"", "", "", "Please enter or select a receipent."},
                        Case{"", "m", "s", "Please enter or select a receipent."},
                        Case{"a@b", "", "", "Please enter the email message."},
                        Case{"a@b", "m", "", "Please enter or select a subject."}}) {
    SCOPED_TRACE(c.prompt);
    boxes.shown.clear();
    w.txtSendTo.SetText(c.to);
    w.txtMessage.SetText(c.message);
    w.txtSubject.SetText(c.subject);
    Press(w.Command1);
    ExpectOneBox(c.prompt, MsgIcon::Critical, app.AppTitle);
    EXPECT_EQ(w.txtSendTo.Text() + "|" + w.txtMessage.Text() + "|" + w.txtSubject.Text(),
              c.to + "|" + c.message + "|" + c.subject);
    EXPECT_TRUE(w.Visible());
    EXPECT_TRUE(mail.calls.empty());
  }
}

TEST_F(Form1Test, OutlookRoadAddsTheMailFooterAndConfirms) {
  Settings("0", "1");
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_EQ(mail.calls, OutlookCalls());
  ExpectOneBox("Message has been sent using Outlook for Office", MsgIcon::Information, "Message Delievered");
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
  EXPECT_EQ(w.txtSubject.Text() + w.txtMessage.Text(), "Hello" + kMessage);
}

TEST_F(Form1Test, ExpressRoadAddsItsFooterWithoutConfirmation) {
  Settings("1", "0");
  Form1& w = Filled();
  Press(w.Command1);
  EXPECT_EQ(mail.calls, ExpressCalls());
  EXPECT_EQ(clock.doEvents, 1);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "");
}

TEST_F(Form1Test, ACopiedAddressGoesWithoutTheWhiteSpaceAroundItWhileWhiteSpaceInsideStays) {
  Settings("1", "1");
  Form1& w = Filled();
  // A copied line, as F10 takes it: blanks, a tab, a no-break space, a
  // zero-width space and a byte-order mark, none of which the user can see.
  w.txtSendTo.SetText("\uFEFF ann@example.org\u00A0\u200B\t\r\n");
  Press(w.Command1);
  Calls expected = OutlookCalls();
  for (auto& c : ExpressCalls()) expected.push_back(c);
  EXPECT_EQ(mail.calls, expected);

  Filled();
  w.txtSendTo.SetText(" ann @example.org\u00A0");
  Press(w.Command1);
  // Handed over as it stands inside, for the mail system to refuse.
  EXPECT_NE(std::find(mail.calls.begin(), mail.calls.end(), "To=ann @example.org"), mail.calls.end());
  EXPECT_NE(std::find(mail.calls.begin(), mail.calls.end(), "RecipAddress=ann @example.org"), mail.calls.end());
}

TEST_F(Form1Test, BothRoadsOutlookFirst) {
  Settings("1", "1");
  Form1& w = Filled();
  Press(w.Command1);
  Calls expected = OutlookCalls();
  for (auto& c : ExpressCalls()) expected.push_back(c);
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
                        Case{"1:", false, true}, Case{"", false, false}}) {
    SCOPED_TRACE(c.settings);
    WriteFile(InFolder("settings.dat"), c.settings);
    Form1& w = Filled();
    w.ReFreshSettings();
    Press(w.Command1);
    EXPECT_EQ(!mail.calls.empty() && mail.calls.front() == "CreateObject(Outlook.application)", c.outlook);
    EXPECT_EQ(!mail.calls.empty() && mail.calls.back() == "SignOff", c.express);
    // Neither: nothing sent, the window stays and keeps the recipient (below).
    EXPECT_EQ(w.Visible(), !c.outlook && !c.express);
    EXPECT_EQ(w.txtSendTo.Text().empty(), c.outlook || c.express);
  }
}

TEST_F(Form1Test, WithNoRoadChosenTheUserIsToldThatNothingWasSentAndWhy) {
  struct Case {
    bool unreadable;  // settings.dat a folder; otherwise a file choosing neither
    std::string why;
  };
  for (const Case& c : {Case{true, "settings.dat could not be read"}, Case{false, "settings.dat chooses none"}}) {
    SCOPED_TRACE(c.why);
    if (c.unreadable) {
      std::filesystem::create_directory(InFolder("settings.dat"));
    } else {
      Settings("0", "0");
    }
    Form1& w = Filled();
    w.ReFreshSettings();
    Press(w.Command1);
    ExpectOneBox("The message was not sent: no mail client is chosen (" + c.why +
                     "). Please select one under \"Template Settings\" and save the settings.",
                 MsgIcon::Critical, app.AppTitle);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.txtSendTo.Text() + "|" + w.txtSubject.Text() + "|" + w.txtMessage.Text(),
              "ann@example.org|Hello|" + kMessage);
    std::filesystem::remove_all(InFolder("settings.dat"));
  }
}

// ---- failed sends: reported, the recipient kept, the window back ------------

TEST_F(Form1Test, FailedOutlookSendIsReported) {
  Settings("1", "1");
  mail.failReason = "Outlook is not installed";
  for (std::string failAt : {"CreateObject", "createitem", "Subject=", "To=", "body=", "Send"}) {
    SCOPED_TRACE(failAt);
    Form1& w = Filled(false);
    mail.failAt = failAt;
    Press(w.Command1);
    ExpectOneBox("The message was not sent through Outlook for Office: Outlook is not installed", MsgIcon::Critical,
                 app.AppTitle);
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
    ASSERT_FALSE(mail.calls.empty());
    EXPECT_EQ(mail.calls.back().rfind(failAt, 0), 0u);  // the other road is not tried
  }
}

TEST_F(Form1Test, FailedExpressStepIsReported) {
  Settings("1", "0");
  mail.failReason = "no such recipient";
  for (auto [failAt, step] :
       std::vector<std::pair<std::string, std::string>>{{"SignOn", "signing on to the mail system"},
                                                        {"ResolveName", "resolving the recipient"},
                                                        {"Send(", "sending"}}) {
    SCOPED_TRACE(failAt);
    Form1& w = Filled(false);
    mail.failAt = failAt;
    Press(w.Command1);
    ExpectOneBox("The message was not sent. The mail system failed while " + step + ": no such recipient",
                 MsgIcon::Critical, app.AppTitle);
    ASSERT_FALSE(mail.calls.empty());
    EXPECT_EQ(mail.calls.back(), "SignOff");
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");
  }
}

TEST_F(Form1Test, ExpressFailingAfterOutlookKeepsTheRecipient) {
  Settings("1", "1");
  mail.failAt = "Compose";
  Form1& w = Filled(false);
  Press(w.Command1);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].title, "Message Delievered");
  EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Critical);
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
