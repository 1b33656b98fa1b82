// The two add-contact windows: one into a chosen book, one into the root list.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class AddAddressTest : public ProgramTest {
 protected:
  AddAddressTest() { SetTexts(); }

  std::string BookFile(const std::string& book) { return InFolder(book + "/address.dat"); }
  void WriteBook(const std::string& book, const std::string& bytes) {
    fs::create_directories(InFolder(book));
    WriteFile(BookFile(book), bytes);
  }
  desk::Form1& Panel() {
    const bool fresh = !app.Form1.IsLoaded();
    desk::Form1& f = app.Form1();
    if (fresh) f.ReFreshAddressBook();  // until Form1's own load fills the panel
    return f;
  }
  desk::AddAddress& Open() {
    Panel();
    User([&] { app.AddAddress().Show(); });
    return *app.AddAddress.get();
  }
  void Type(desk::ContactWindow& w, const std::string& name, const std::string& address) {
    w.Text1.SetText(name);
    w.Text2.SetText(address);
  }
  void Save(desk::ContactWindow& w) {
    User([&] { w.Command1.Press(); });
  }
};

TEST_F(AddAddressTest, LoadCopiesTheShownBookAndItsSelection) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\nHome\r\n");
  WriteBook("Work", "w: x*\r\nv: y*\r\n");
  User([&] { Panel().Combo2.SetListIndex(1); });
  desk::AddAddress& w = Open();
  EXPECT_TRUE(w.TopMost());
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Address Address ]");
  EXPECT_EQ(w.backColor, 0xFFFFFFu);
  EXPECT_TRUE(w.Label3.fontBold);
  EXPECT_FALSE(w.List1.Visible());
  EXPECT_EQ(w.List1.Items(), (Items{"w: x*", "v: y*"}));
  EXPECT_EQ(w.Combo2.Items(), (Items{"Default", "Work", "Home"}));
  EXPECT_EQ(w.Combo2.ListIndex(), 1);
  EXPECT_FALSE(w.Command1.Enabled());
  EXPECT_FALSE(w.Timer1.Enabled());
  EXPECT_FALSE(w.Timer2.Enabled());
}

TEST_F(AddAddressTest, ClipboardAddressOfAtMost40CharactersFillsTheAddressBox) {
  const std::string forty = " " + std::string(29, 'a') + "@example\r\n";
  ASSERT_EQ(forty.size(), 40u);
  clipboard.text = forty;
  desk::AddAddress& w = Open();
  EXPECT_EQ(w.Text2.Text(), forty);
  EXPECT_FALSE(w.Command1.Enabled());
  w.Text1.SetText("Ann");
  EXPECT_TRUE(w.Command1.Enabled());

  const std::string fortyOne = forty + "x";
  for (const std::string& text : {fortyOne, std::string("no at sign"), std::string("a@b")}) {
    User([&] { app.AddAddress.get()->Unload(); });
    clipboard.text = text;
    clipboard.failing = text == "a@b";
    EXPECT_EQ(Open().Text2.Text(), "") << text;
  }
}

TEST_F(AddAddressTest, SaveIsEnabledOnlyWhileBothBoxesHoldText) {
  desk::AddAddress& w = Open();
  w.Text1.SetText(" ");
  EXPECT_FALSE(w.Command1.Enabled());
  w.Text2.SetText(" ");
  EXPECT_TRUE(w.Command1.Enabled());
  w.Text1.SetText("");
  EXPECT_FALSE(w.Command1.Enabled());
}

TEST_F(AddAddressTest, SavesInARowFollowTheEntriesInOrderAndShowSaveComplete) {
  WriteBook("Default", "a: b*\r\n");
  desk::AddAddress& w = Open();
  Type(w, "Ann", "ann@x");
  Save(w);
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\nAnn: ann@x*\r\n");
  EXPECT_EQ(app.Form1().Combo1.Items(), (Items{"a: b*", "Ann: ann@x*"}));
  // The boxes keep their texts until the status timer's first tick.
  EXPECT_EQ(w.Text1.Text(), "Ann");
  EXPECT_TRUE(w.Command1.Enabled());
  clock.Advance(99);
  EXPECT_EQ(w.status.Caption(), "");
  clock.Advance(1);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  EXPECT_EQ(w.Text1.Text(), "");
  EXPECT_EQ(w.Text2.Text(), "");
  EXPECT_FALSE(w.Command1.Enabled());
  clock.Advance(1499);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  clock.Advance(1);
  EXPECT_EQ(w.status.Caption(), "");

  // A later save's status goes at the next tick of the clearing timer.
  clock.Advance(1000);
  Type(w, "Bob", "bob@y");
  Save(w);
  clock.Advance(100);
  EXPECT_EQ(w.status.Caption(), "Save Complete");
  clock.Advance(400);
  EXPECT_EQ(w.status.Caption(), "");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
  EXPECT_EQ(w.List1.Items(), (Items{"a: b*", "Ann: ann@x*", "Bob: bob@y*"}));
}

TEST_F(AddAddressTest, ReopeningKeepsTheTypedTextsAndDoesNotReadTheClipboardAgain) {
  desk::AddAddress& w = Open();
  Type(w, "Ann", "typed");
  clipboard.text = "other@x";
  User([&] { app.AddAddress().Show(); });
  EXPECT_EQ(&w, app.AddAddress.get());
  EXPECT_EQ(w.Text1.Text(), "Ann");
  EXPECT_EQ(w.Text2.Text(), "typed");
}

TEST_F(AddAddressTest, WithoutABookSelectedOnForm1NothingIsChosenAndSaveRefuses) {
  WriteFile(InFolder("books.lst"), "Default\r\n");
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  desk::AddAddress& w = Open();
  EXPECT_EQ(w.Combo2.ListIndex(), -1);
  EXPECT_EQ(w.List1.Items(), Items{"r: s*"});
  Type(w, "Ann", "ann@x");
  Save(w);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "Please choose an address book.");
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\n");
  EXPECT_FALSE(Exists(InFolder("Default")));
  EXPECT_EQ(w.List1.ListCount(), 1);
  clock.Advance(200);
  EXPECT_EQ(w.status.Caption(), "");

  User([&] { w.Combo2.SetListIndex(0); });
  Save(w);
  EXPECT_EQ(ReadFile(BookFile("Default")), "Ann: ann@x*\r\n");
}

TEST_F(AddAddressTest, SaveAppendsToTheChosenBookAsItStandsNow) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\n");
  WriteBook("Default", "a: b*\r\nc: d*\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::AddAddress& w = Open();
  desk::Form1& f = app.Form1();

  // Another book than the one shown on Form1: its own entries stay.
  User([&] { w.Combo2.SetListIndex(1); });
  Type(w, "Ann", "ann@x");
  Save(w);
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\nAnn: ann@x*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\nc: d*\r\n");
  EXPECT_EQ(f.Combo1.Items(), (Items{"a: b*", "c: d*"}));

  // An entry deleted on Form1 after the load does not come back.
  User([&] { f.Combo1.SetListIndex(0); });
  boxes.answers.push_back(vbYes);
  User([&] { f.Command6.Press(); });
  User([&] { w.Combo2.SetListIndex(0); });
  Type(w, "Bob", "bob@y");
  Save(w);
  EXPECT_EQ(ReadFile(BookFile("Default")), "c: d*\r\nBob: bob@y*\r\n");
  EXPECT_EQ(f.Combo1.Items(), (Items{"c: d*", "Bob: bob@y*"}));
}

TEST_F(AddAddressTest, ANewBookGetsItsFolderAndAFileOfTheOneEntry) {
  WriteFile(InFolder("books.lst"), "Default\r\nNew\r\n");
  desk::AddAddress& w = Open();
  User([&] { w.Combo2.SetListIndex(1); });
  Type(w, "Ann", "ann@x");
  Save(w);
  EXPECT_TRUE(fs::is_directory(InFolder("New")));
  EXPECT_EQ(ReadFile(BookFile("New")), "Ann: ann@x*\r\n");
}

TEST_F(AddAddressTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheFile) {
  const std::string outside = "../" + fs::path(folder.path()).filename().string() + "-outside";
  WriteFile(InFolder("books.lst"), "Default\r\n" + outside + "\r\n");
  WriteBook("Default", "a: b*\r\n");
  desk::AddAddress& w = Open();
  Type(w, "Ann", "ann@x");
  {
    FileSizeLimit full(1);
    Save(w);
  }
  User([&] { w.Combo2.SetListIndex(1); });
  Save(w);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].prompt, "The address book \"Default\" could not be saved.");
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(boxes.shown[1].prompt, "The address book \"" + outside + "\" could not be saved.");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");
  EXPECT_FALSE(Exists(InFolder(outside)));
  EXPECT_EQ(w.List1.Items(), Items{"a: b*"});
  clock.Advance(200);
  EXPECT_EQ(w.status.Caption(), "");
  EXPECT_EQ(w.Text1.Text(), "Ann");
}

// ---- the root-list window ------------------------------------------------------
TEST_F(AddAddressTest, RootWindowAppendsToTheRootListAsItStands) {
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  WriteBook("Default", "a: b*\r\n");
  clipboard.text = "clip@x";
  desk::Form1& f = Panel();
  desk::AddAddress2& w = app.AddAddress2();
  EXPECT_FALSE(w.backColor.has_value());
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Address Address ]");
  EXPECT_EQ(w.Text2.Text(), "");
  EXPECT_EQ(w.List1.Items(), Items{"a: b*"});

  // Form1 re-reads its book list after the save.
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\n");
  Type(w, "Ann", "ann@x");
  Save(w);
  Type(w, "Bob", "bob@y");
  Save(w);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Work"}));
  clock.Advance(100);
  EXPECT_EQ(w.status.Caption(), "Save Complete");

  Type(w, "Cy", "cy@z");
  {
    FileSizeLimit full(1);
    Save(w);
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "The address list could not be saved.");
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\nAnn: ann@x*\r\nBob: bob@y*\r\n");
}

}  // namespace
}  // namespace tallow::testing
