// The important-information window: its entries listed, opened, saved back
// and deleted, new entries named and saved, and closing that only hides.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "desk/form1.h"
#include "desk/form1a.h"
#include "platform/file_list.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using Items = std::vector<std::string>;

class Form1aTest : public ProgramTest {
 protected:
  Form1aTest() {
    SetTexts();
    WriteFile(InFolder("settings.dat"), "1:\r\n0:\r\n[END]\r\n");
  }
  desk::Form1a& Shown() {
    User([&] { app.Form1a().Show(); });
    return *app.Form1a.get();
  }
  void Open(desk::Form1a& w, int i) {
    User([&] { w.List1.SetListIndex(i); });
  }
  void Type(TextBox& box, const std::string& text) {
    User([&] { box.SetText(text); });
  }
  void Press(CommandButton& button) {
    User([&] { button.Press(); });
  }
  // A critical box titled AppTitle naming the file and the reason.
  void ExpectFailure(size_t i, const std::string& file, int err) {
    ASSERT_GT(boxes.shown.size(), i);
    EXPECT_EQ(boxes.shown[i].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[i].title, app.AppTitle);
    EXPECT_NE(boxes.shown[i].prompt.find(file + ": " + std::strerror(err)), std::string::npos) << boxes.shown[i].prompt;
  }
  std::string Left(desk::Form1a& w) { return w.txtSubject.Text() + "|" + w.txtMessage.Text(); }
  std::string Right(desk::Form1a& w) { return w.Text2.Text() + "|" + w.Text1.Text(); }
};

TEST_F(Form1aTest, LoadsOnceOnTopAndClosingOnlyHidesKeepingEverything) {
  WriteFile(InFolder("data2.txx"), "Alarm code\r\n4711\r\n");
  auto& w = Shown();
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Important Information ]");
  EXPECT_TRUE(w.TopMost());
  EXPECT_EQ(w.Image5.Picture(), app.Form1().Image5.Picture());  // the Send Email window's banner
  EXPECT_EQ(w.List1.Items(), Items{"Alarm code"});
  EXPECT_EQ(w.List2.Items(), (Items{"1", "\n0"}));

  Open(w, 0);
  Type(w.txtMessage, "4712");
  Type(w.Text2, "New");
  Type(w.Text1, "entry");
  WriteFile(InFolder("data3.txx"), "Behind its back\r\n\r\n");
  Press(w.Command3);  // "Close"
  EXPECT_FALSE(w.Visible());
  Shown();
  app.UnloadForm(w, 0);  // the title bar's close box
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(&Shown(), &w);
  // The load did not run again: the new file is not listed.
  EXPECT_EQ(w.List1.Items(), Items{"Alarm code"});
  EXPECT_EQ(w.List1.ListIndex(), 0);
  EXPECT_EQ(Left(w), "Alarm code|4712");
  EXPECT_EQ(Right(w), "New|entry");
  EXPECT_TRUE(w.Command1.Enabled() && w.Command5.Enabled());
  EXPECT_TRUE(boxes.shown.empty());
}

// "data", the count of entry files plus two; a name still taken counts on.
TEST_F(Form1aTest, NewEntriesAreNamedByTheCountPlusTwoAndNeverReplaceOne) {
  auto& w = Shown();
  auto save = [&](const std::string& subject, const std::string& text) {
    Type(w.Text2, subject);
    Type(w.Text1, text);
    Press(w.Command1);
  };
  save("subject", "information");
  EXPECT_EQ(ReadFile(InFolder("data2.txx")), "subject\r\ninformation\r\n");
  WriteFile(InFolder("data3.txx"), "Three\r\n3\r\n");
  save("Four", "4");
  EXPECT_EQ(ReadFile(InFolder("data4.txx")), "Four\r\n4\r\n");
  Open(w, 0);
  Press(w.Command4);  // data2 gone: the count names data4, which is still there
  save("Five", "5");
  EXPECT_EQ(ReadFile(InFolder("data4.txx")), "Four\r\n4\r\n");
  EXPECT_EQ(ReadFile(InFolder("data5.txx")), "Five\r\n5\r\n");
  EXPECT_EQ(w.List1.Items(), (Items{"Three", "Four", "Five"}));
}

TEST_F(Form1aTest, SaveThisInformationOnlyWithBothBoxesFilledThenEmptiesTheRightPaneOnly) {
  WriteFile(InFolder("data10.txx"), "Ten\r\n10\r\n");
  WriteFile(InFolder("data2.txx"), "Two\r\n2\r\n");
  auto& w = Shown();
  EXPECT_EQ(w.List1.Items(), (Items{"Ten", "Two"}));
  Open(w, 0);  // data10.txx sorts first
  EXPECT_EQ(Left(w), "Ten|10\r\n");

  EXPECT_FALSE(w.Command1.Enabled());
  Type(w.Text2, "Bank");
  EXPECT_FALSE(w.Command1.Enabled());
  Type(w.Text1, "IBAN");
  EXPECT_TRUE(w.Command1.Enabled());
  Type(w.Text2, "");
  EXPECT_FALSE(w.Command1.Enabled());
  Type(w.Text2, "Bank");
  Press(w.Command2);  // "Clear"
  EXPECT_EQ(Right(w), "|");
  EXPECT_FALSE(w.Command1.Enabled());

  Type(w.Text2, "Bank");
  Type(w.Text1, "IBAN\r\nBIC");
  Press(w.Command1);
  EXPECT_EQ(ReadFile(InFolder("data4.txx")), "Bank\r\nIBAN\r\nBIC\r\n");
  ExpectBox(0, "This information has been saved.", MsgIcon::Information, "Template Saved.");
  EXPECT_EQ(Right(w), "|");
  EXPECT_FALSE(w.Command1.Enabled());
  EXPECT_EQ(w.List1.Items(), (Items{"Ten", "Two", "Bank"}));
  EXPECT_EQ(w.List1.ListIndex(), -1);
  EXPECT_EQ(Left(w), "Ten|10\r\n");
}

TEST_F(Form1aTest, SaveChangesRewritesTheOpenedEntryWithOneMoreLineEndEachTime) {
  WriteFile(InFolder("data2.txx"), "Two\r\n2\r\n");
  WriteFile(InFolder("data3.txx"), "Door\r\ncode\r\n");
  auto& w = Shown();
  Open(w, 1);
  EXPECT_FALSE(w.Command5.Enabled());
  Type(w.txtSubject, "Door code");
  EXPECT_TRUE(w.Command5.Enabled());
  Type(w.txtSubject, "");
  EXPECT_TRUE(w.Command5.Enabled());  // emptying never disables
  Type(w.txtSubject, "Door code");
  Type(w.Text2, "Half");
  Type(w.Text1, "typed");
  Press(w.Command5);
  EXPECT_EQ(ReadFile(InFolder("data3.txx")), "Door code\r\ncode\r\n\r\n");
  EXPECT_EQ(ReadFile(InFolder("data2.txx")), "Two\r\n2\r\n");
  ExpectBox(0, "This information has been saved.", MsgIcon::Information, "Template Saved.");
  EXPECT_EQ(Right(w), "|");
  EXPECT_FALSE(w.Command1.Enabled() || w.Command5.Enabled());
  EXPECT_EQ(w.List1.ListIndex(), -1);
  EXPECT_EQ(Left(w), "Door code|code\r\n");

  Open(w, 1);
  EXPECT_FALSE(w.Command5.Enabled());
  Type(w.txtSubject, "Door");
  Press(w.Command5);
  EXPECT_EQ(ReadFile(InFolder("data3.txx")), "Door\r\ncode\r\n\r\n\r\n");
}

TEST_F(Form1aTest, DeleteActsOnlyOnASelectedEntryAndAtOnce) {
  WriteFile(InFolder("data2.txx"), "Two\r\n2\r\n");
  WriteFile(InFolder("data3.txx"), "Three\r\n3\r\n");
  auto& w = Shown();
  Press(w.Command4);
  EXPECT_TRUE(boxes.shown.empty());
  Open(w, 0);
  Type(w.Text2, "Kept");
  Press(w.Command4);
  EXPECT_FALSE(Exists(InFolder("data2.txx")));
  ASSERT_EQ(boxes.shown.size(), 1u);  // no question first
  ExpectBox(0, "Template Deleted: \r\n\r\nTwo\r\n\r\nThis template has been removed.", MsgIcon::Information,
            "Template Deleted");
  EXPECT_EQ(Left(w), "|");
  EXPECT_EQ(Right(w), "Kept|");
  EXPECT_EQ(w.List1.Items(), Items{"Three"});
}

// An opened entry, edited, while "Save This Information" rebuilds the list
// without a selection: there is no file left to save the edit into.
TEST_F(Form1aTest, SaveChangesIsOffAndWritesNothingWithNoEntrySelected) {
  WriteFile(InFolder("data2.txx"), "Two\r\n2\r\n");
  auto& w = Shown();
  Open(w, 0);
  Type(w.txtMessage, "changed");
  Type(w.Text2, "New");
  Type(w.Text1, "n");
  Press(w.Command1);
  EXPECT_FALSE(w.Command5.Enabled());
  Type(w.txtMessage, "changed again");
  EXPECT_FALSE(w.Command5.Enabled());
  User([&] { w.Command5_Click(); });
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(ListFiles(folder.path(), "*"), (Items{"data2.txx", "data3.txx", "settings.dat"}));
  EXPECT_EQ(ReadFile(InFolder("data2.txx")), "Two\r\n2\r\n");
}

TEST_F(Form1aTest, FailuresAreReportedTheFilesAndTypedTextKeptAndTheListRebuilt) {
  WriteFile(InFolder("data2.txx"), "Two\r\n2\r\n");
  WriteFile(InFolder("data3.txx"), "Three\r\n3\r\n");
  auto& w = Shown();
  Open(w, 0);
  Type(w.txtMessage, "edited");
  Type(w.Text2, "New");
  Type(w.Text1, "n");
  WriteFile(InFolder("data1.txx"), "Other\r\n1\r\n");  // the folder changed behind the window
  {
    FileSizeLimit full(0);
    Press(w.Command5);
    Press(w.Command1);
  }
  ExpectFailure(0, "data2.txx", EFBIG);
  ExpectFailure(1, "data5.txx", EFBIG);
  EXPECT_EQ(ReadFile(InFolder("data2.txx")), "Two\r\n2\r\n");
  EXPECT_FALSE(Exists(InFolder("data5.txx")));
  EXPECT_EQ(Left(w), "Two|edited");
  EXPECT_EQ(Right(w), "New|n");
  EXPECT_TRUE(w.Command1.Enabled());  // the new entry can be saved again
  EXPECT_EQ(w.List1.Items(), (Items{"Other", "Two", "Three"}));
  EXPECT_EQ(w.List1.ListIndex(), 1);  // and so can the edit: still "Two", still enabled
  EXPECT_TRUE(w.Command5.Enabled());

  Open(w, 2);
  Type(w.txtMessage, "kept");
  std::remove(InFolder("data3.txx").c_str());  // gone by other means
  Press(w.Command4);
  ExpectFailure(2, "data3.txx", ENOENT);
  EXPECT_EQ(Left(w), "Three|kept");
  EXPECT_EQ(w.List1.Items(), (Items{"Other", "Two"}));
}

// An entry too large to hold is said so when opened; it and a read-only one
// are never replaced, root or not.
TEST_F(Form1aTest, AnEntryTooLargeOrReadOnlyIsToldAndNeverReplaced) {
  WriteFile(InFolder("data2.txx"), "");
  ASSERT_EQ(::truncate(InFolder("data2.txx").c_str(), 100LL << 30), 0);  // 100 GB, sparse
  WriteFile(InFolder("data3.txx"), "Kept\r\nas it is\r\n");
  ::chmod(InFolder("data3.txx").c_str(), 0444);
  auto& w = Shown();
  EXPECT_EQ(w.List1.Items(), (Items{"", "Kept"}));
  Open(w, 0);
  ExpectBox(0, "The file \"data2.txx\" could not be read: File too large (over 8 MB).", MsgIcon::Critical,
            app.AppTitle);
  EXPECT_EQ(Left(w), "|");
  Type(w.txtSubject, "typed");
  Type(w.txtMessage, "over it");
  Press(w.Command5);
  ExpectBox(1, "This information could not be saved to data2.txx: File too large (over 8 MB).", MsgIcon::Critical,
            app.AppTitle);
  Open(w, 1);
  Type(w.txtMessage, "changed");
  Press(w.Command5);
  ExpectBox(2, "This information could not be saved to data3.txx: The file is read-only.", MsgIcon::Critical,
            app.AppTitle);
  EXPECT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(std::filesystem::file_size(InFolder("data2.txx")), 100ULL << 30);
  EXPECT_EQ(ReadFile(InFolder("data3.txx")), "Kept\r\nas it is\r\n");
}

}  // namespace
}  // namespace tallow::testing
