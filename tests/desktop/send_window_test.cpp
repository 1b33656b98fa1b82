// The Send Email window on real widgets: the program's own Form1 drawn by the
// renderer, used as a user would (a click on a template, typing, "Send"), over
// a mail-client double. Everything else the window stands on that could reach
// outside the test (message boxes, clipboard, keys, typing) is a double too.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "mail/footers.h"
#include "program_fixture.h"

namespace tallow::desktop::testing {
namespace {

using tallow::testing::WriteFile;
using Calls = std::vector<std::string>;

class SendWindowTest : public ProgramOnDesktop {
 protected:
  SendWindowTest() {
    WriteFile(InFolder("data1.txt"), "Greeting\r\nHello there\r\n");
    WriteFile(InFolder("data2.txt"), "Invoice\r\n" + kMessage);
  }

  // The Outlook Express flag, then the Outlook (Office) flag.
  void Settings(const std::string& express, const std::string& outlook) {
    WriteFile(InFolder("settings.dat"), express + ":\r\n" + outlook + ":\r\n[END]\r\n");
  }

  // Loads the window as start-up leaves it (hidden by its one-shot timer),
  // then shows it as the F10 key does.
  desk::Form1& ShownWindow() {
    desk::Form1* w = nullptr;
    desktop.dispatch([&] { w = &app.Form1(); });
    EXPECT_TRUE(WaitFor([&] { return !w->Timer2.Enabled(); }));
    EXPECT_FALSE(Widget(*w)->isVisible());
    desktop.dispatch([&] { w->Show(); });
    EXPECT_TRUE(Widget(*w)->isVisible());
    return *w;
  }
  // A user's click on the list's row: the mouse on the row's rectangle.
  void ClickRow(QListWidget* list, int row) {
    QRect rect = list->visualItemRect(list->item(row));
    ASSERT_FALSE(rect.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }

  // Picks the second template, types the recipient and presses "Send".
  void SendInvoice(desk::Form1& w) {
    auto* list = Widget<QListWidget>(w.List1);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "Invoice");
    ClickRow(list, 1);
    EXPECT_EQ(w.List1.ListIndex(), 1);
    EXPECT_EQ(Widget<QLineEdit>(w.txtSubject)->text(), "Invoice");
    EXPECT_EQ(Widget<QPlainTextEdit>(w.txtMessage)->toPlainText(), "Line one\nLine two\n");

    auto* to = Widget<QLineEdit>(w.txtSendTo);
    QTest::mouseClick(to, Qt::LeftButton);
    QTest::keyClicks(to, "ann@example.org");
    EXPECT_EQ(w.txtSendTo.Text(), "ann@example.org");

    mail.calls.clear();
    QTest::mouseClick(Widget<QPushButton>(w.Command1), Qt::LeftButton);
  }

  const std::string kMessage = "Line one\r\nLine two\r\n";
};

TEST_F(SendWindowTest, ExpressRoadSendsTheChosenTemplateWithItsFooter) {
  Settings("1", "0");
  desk::Form1& w = ShownWindow();
  SendInvoice(w);

  EXPECT_EQ(mail.calls,
            (Calls{"SignOn", "DownLoadMail=False", "SessionID?", "SessionID=42", "Compose",
                   "RecipAddress=ann@example.org", "ResolveName", "MsgSubject=Invoice",
                   "MsgNoteText=" + kMessage + mail::ExpressFooter(app.AppTitle), "Send(False)", "SignOff"}));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(Widget(w)->isVisible());
  EXPECT_EQ(Widget<QLineEdit>(w.txtSendTo)->text(), "");
  // Subject and message stay for the next recipient.
  EXPECT_EQ(Widget<QLineEdit>(w.txtSubject)->text(), "Invoice");
}

TEST_F(SendWindowTest, OutlookRoadSendsWithTheMailFooterAndConfirms) {
  Settings("0", "1");
  desk::Form1& w = ShownWindow();
  SendInvoice(w);

  EXPECT_EQ(mail.calls, (Calls{"CreateObject(Outlook.application)", "createitem(0)", "Subject=Invoice",
                               "To=ann@example.org", "body=" + kMessage + app.MailFooter, "Send"}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "Message has been sent using Outlook for Office");
  EXPECT_EQ(boxes.shown[0].title, "Message Delievered");
  EXPECT_FALSE(Widget(w)->isVisible());
  EXPECT_EQ(Widget<QLineEdit>(w.txtSendTo)->text(), "");
}

TEST_F(SendWindowTest, FailedSendShowsTheWindowAgainWithTheRecipient) {
  Settings("1", "0");
  mail.failAt = "ResolveName";
  desk::Form1& w = ShownWindow();
  SendInvoice(w);

  EXPECT_EQ(mail.calls.back(), "SignOff");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_TRUE(Widget(w)->isVisible());
  EXPECT_EQ(Widget<QLineEdit>(w.txtSendTo)->text(), "ann@example.org");
}

TEST_F(SendWindowTest, AClickOnTheSelectedTemplateOrEntryFillsTheBoxesAgain) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\n");
  std::filesystem::create_directory(InFolder("Default"));
  WriteFile(InFolder("Default/address.dat"), "Ann: ann@example.org*\r\n");
  desk::Form1& w = ShownWindow();
  auto* templates = Widget<QListWidget>(w.List1);
  auto* entries = Widget<QListWidget>(w.Combo1);
  ClickRow(templates, 1);
  ClickRow(entries, 0);
  QTest::mouseClick(Widget<QPushButton>(w.Command2), Qt::LeftButton);  // "Clear"
  EXPECT_EQ(w.txtSubject.Text() + w.txtSendTo.Text(), "");
  ClickRow(templates, 1);  // still highlighted
  ClickRow(entries, 0);
  EXPECT_EQ(Widget<QLineEdit>(w.txtSubject)->text(), "Invoice");
  EXPECT_EQ(w.txtMessage.Text(), kMessage);
  EXPECT_EQ(Widget<QLineEdit>(w.txtSendTo)->text(), "ann@example.org");
}

TEST_F(SendWindowTest, TheAddBookWindowOpensWithTheFocusOnClose) {
  desk::Form1& w = ShownWindow();
  QTest::mouseClick(Widget<QPushButton>(w.Command10), Qt::LeftButton);  // "Add Address Book"
  ASSERT_TRUE(app.AddBook.IsLoaded());
  desk::AddBook& book = *app.AddBook.get();
  QWidget* focus = Widget(book)->focusWidget();
  ASSERT_EQ(focus, Widget<QPushButton>(book.Command2));
  QTest::keyClick(focus, Qt::Key_Space);  // presses "Close"; types nothing into the name
  EXPECT_FALSE(app.AddBook.IsLoaded());
  EXPECT_FALSE(std::filesystem::exists(InFolder("books.lst")));
}

// A list item the widget showed otherwise than the model held it was taken
// for a change at every click: the list was rebuilt under the mouse, and the
// first double-click came to nothing.
TEST_F(SendWindowTest, AnOlderTemplateShowsAsTextAndAClickDoesNotRebuildTheList) {
  Settings("1", "0");
  WriteFile(InFolder("data0.txt"), "Latin caf\xE9\r\nna\xEFve body\r\n");  // Windows-1252
  desk::Form1& w = ShownWindow();
  auto* list = Widget<QListWidget>(w.List1);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("Latin café"));
  QListWidgetItem* const first = list->item(0);
  ClickRow(list, 2);
  EXPECT_EQ(list->item(0), first) << "the click rebuilt the list";
  ClickRow(list, 0);
  EXPECT_EQ(Widget<QPlainTextEdit>(w.txtMessage)->toPlainText(), QString::fromUtf8("naïve body\n"));

  // The template editor opens another template at the first double-click.
  desk::SettingMan& editor = Show(app.SettingMan);
  auto* templates = Widget<QListWidget>(editor.List2);
  ASSERT_EQ(templates->count(), 3);
  // As the window system gives a double-click: press, release, double-click, release.
  const QPoint row = templates->visualItemRect(templates->item(2)).center();
  QTest::mousePress(templates->viewport(), Qt::LeftButton, {}, row);
  QTest::mouseRelease(templates->viewport(), Qt::LeftButton, {}, row);
  QTest::mouseDClick(templates->viewport(), Qt::LeftButton, {}, row);
  QTest::mouseRelease(templates->viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(editor.txtSubject.Text(), "Invoice");
}

}  // namespace
}  // namespace tallow::desktop::testing
