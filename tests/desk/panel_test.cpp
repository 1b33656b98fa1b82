// The address-book panel of the Send Email window: books, entries, deleting.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class PanelTest : public ProgramTest {
 protected:
  PanelTest() { SetTexts(); }

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
  void Select(ListBox& list, int index) {
    User([&] { list.SetListIndex(index); });
  }
  void Press(CommandButton& button) {
    User([&] { button.Press(); });
  }
};

TEST_F(PanelTest, FirstStartWithoutAnyFileSelectsDefaultAndMakesItsFolder) {
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.Items(), Items{"Default"});
  EXPECT_EQ(f.Combo2.ListIndex(), 0);
  EXPECT_TRUE(fs::is_directory(InFolder("Default")));
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(Exists(InFolder("books.lst")));  // nothing is saved by reading
}

TEST_F(PanelTest, LoneDefaultLineShowsAndRewritesTheRootList) {
  WriteFile(InFolder("books.lst"), "Default\r\n");
  WriteFile(InFolder("address.dat"), "a: b*\r\nc: d*\r\n");
  WriteBook("Default", "x: y*\r\n");
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.ListIndex(), -1);
  EXPECT_EQ(f.Combo1.Items(), (Items{"a: b*", "c: d*"}));

  Select(f.Combo1, 0);
  boxes.answers.push_back(vbYes);
  Press(f.Command6);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "Are you sure you want to delete the following:\r\n\r\na: b*");
  EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "c: d*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Default")), "x: y*\r\n");
  EXPECT_EQ(f.Combo1.Items(), Items{"c: d*"});
  EXPECT_EQ(f.Combo1.ListIndex(), -1);
}

TEST_F(PanelTest, ForeignFirstBookIsReplacedAndStillGetsItsFolder) {
  WriteFile(InFolder("books.lst"), "Work\r\nHome\r\n");
  WriteBook("Default", "a: b*\r\n");
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 0);
  EXPECT_EQ(f.Combo1.Items(), Items{"a: b*"});
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Work\r\nHome\r\n");
}

TEST_F(PanelTest, SelectingABookShowsItsEntriesAndANewBookGetsItsFolder) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\nNew\r\nWork\r\n");
  WriteBook("Default", "a: b*\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo1.Items(), Items{"a: b*"});
  Select(f.Combo2, 1);
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
  Select(f.Combo2, 2);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_TRUE(fs::is_directory(InFolder("New")));
  // Two books of one name share one folder and one file.
  Select(f.Combo2, 3);
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
}

TEST_F(PanelTest, ClickingAnEntryPutsItsAddressIntoTheRecipient) {
  WriteBook("Default", "a: b*\r\nno colon*\r\nx: y: z*\r\n");
  desk::Form1& f = Panel();
  f.txtSendTo.SetText("someone@else");
  Select(f.Combo1, 0);
  EXPECT_EQ(f.txtSendTo.Text(), "b");
  Select(f.Combo1, 1);
  EXPECT_EQ(f.txtSendTo.Text(), "no colon*");
  Select(f.Combo1, 2);
  EXPECT_EQ(f.txtSendTo.Text(), "y: z");
}

TEST_F(PanelTest, DeleteAddressAsksAndDeletingTheLastEntryLeavesALoneCrLf) {
  WriteBook("Default", "a: b*\r\n");
  desk::Form1& f = Panel();
  Press(f.Command6);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "Please select an address book entry above.");
  EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OK);
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);

  Select(f.Combo1, 0);
  f.txtSendTo.SetText("kept");
  boxes.answers.push_back(vbNo);
  Press(f.Command6);
  EXPECT_EQ(f.Combo1.Items(), Items{"a: b*"});
  EXPECT_EQ(ReadFile(BookFile("Default")), "a: b*\r\n");

  boxes.answers.push_back(vbYes);
  Press(f.Command6);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_EQ(ReadFile(BookFile("Default")), "\r\n");
  EXPECT_EQ(f.txtSendTo.Text(), "kept");
}

TEST_F(PanelTest, DeleteOfABookRefusesDefaultAndAsksForTheOthers) {
  WriteFile(InFolder("books.lst"), "default\r\nWork\r\nDefault\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::Form1& f = Panel();
  Press(f.Command11);  // "Default" is selected
  Select(f.Combo2, 2);
  Press(f.Command11);  // a second "Default" is refused too
  ASSERT_EQ(boxes.shown.size(), 2u);
  for (const ShownBox& b : boxes.shown) {
    EXPECT_EQ(b.prompt, "You cannot delete this book.");
    EXPECT_EQ(b.icon, MsgIcon::Critical);
    EXPECT_EQ(b.title, "Cannot Delete");
  }
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "default\r\nWork\r\nDefault\r\n");

  Select(f.Combo2, 1);
  boxes.answers.push_back(vbNo);
  Press(f.Command11);
  EXPECT_EQ(boxes.shown[2].prompt, "Are you sure you want to delete this address book?");
  EXPECT_EQ(boxes.shown[2].buttons, MsgButtons::YesNo);
  EXPECT_EQ(boxes.shown[2].icon, MsgIcon::None);
  EXPECT_EQ(boxes.shown[2].title, "Confirm Delete");
  // Rewritten from the list as it stands.
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nWork\r\nDefault\r\n");
  EXPECT_EQ(f.Combo2.ListIndex(), 1);

  boxes.answers.push_back(vbYes);
  Press(f.Command11);
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Default"}));
  EXPECT_EQ(f.Combo2.ListIndex(), -1);
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nDefault\r\n");
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\n");  // the book's file stays

  Press(f.Command11);
  ASSERT_EQ(boxes.shown.size(), 5u);
  EXPECT_EQ(boxes.shown[4].prompt, "Please choose a address book to delete.");
  EXPECT_EQ(boxes.shown[4].buttons, MsgButtons::OK);
  EXPECT_EQ(boxes.shown[4].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[4].title, "Delete Address Book");
}

TEST_F(PanelTest, DeleteAddressAfterABookWasDeletedLeavesTheRootListAlone) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\n");
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  WriteBook("Work", "w: x*\r\nv: y*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  boxes.answers.push_back(vbYes);
  Press(f.Command11);
  Select(f.Combo1, 0);
  Press(f.Command6);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].prompt, "Please choose an address book first.");
  EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Information);
  EXPECT_EQ(boxes.shown[1].title, app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\nv: y*\r\n");
  EXPECT_EQ(f.Combo1.ListCount(), 2);

  // Choosing a book makes deleting possible again.
  WriteBook("Default", "a: b*\r\n");
  Select(f.Combo2, 0);
  Select(f.Combo1, 0);
  boxes.answers.push_back(vbYes);
  Press(f.Command6);
  EXPECT_EQ(ReadFile(BookFile("Default")), "\r\n");
}

TEST_F(PanelTest, WritesThatFailKeepTheFilesAndTheListsAlike) {
  WriteFile(InFolder("books.lst"), "Default\r\nWork\r\n");
  WriteBook("Work", "w: x*\r\nv: y*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  Select(f.Combo1, 0);
  {
    FileSizeLimit full(1);
    boxes.answers = {vbYes, vbYes};
    Press(f.Command6);
    Press(f.Command11);
  }
  ASSERT_EQ(boxes.shown.size(), 4u);
  EXPECT_EQ(boxes.shown[1].prompt, "The address book \"Work\" could not be saved.");
  EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[1].title, app.AppTitle);
  EXPECT_EQ(boxes.shown[3].prompt, "The list of address books could not be saved.");
  EXPECT_EQ(boxes.shown[3].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[3].title, app.AppTitle);
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\nv: y*\r\n");
  EXPECT_EQ(f.Combo1.Items(), (Items{"w: x*", "v: y*"}));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nWork\r\n");
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Work"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 1);
}

TEST_F(PanelTest, ABookNamedOutsideTheProgramFolderIsNeitherMadeNorRead) {
  const std::string outside = "../" + fs::path(folder.path()).filename().string() + "-outside";
  WriteFile(InFolder("books.lst"), "Default\r\n" + outside + "\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  EXPECT_FALSE(Exists(InFolder(outside)));
  fs::create_directory(InFolder(outside));
  WriteFile(InFolder(outside + "/address.dat"), "o: p*\r\n");
  Select(f.Combo2, 1);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  fs::remove_all(InFolder(outside));
}

}  // namespace
}  // namespace tallow::testing
