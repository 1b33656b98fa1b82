// The add-book window: a new name at the end of the Send Email window's book list.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class AddBookTest : public ProgramTest {
 protected:
  AddBookTest() { SetTexts(); }

  desk::Form1& Panel() {
    const bool fresh = !app.Form1.IsLoaded();
    desk::Form1& f = app.Form1();
    if (fresh) f.ReFreshAddressBook();  // until Form1's own load fills the panel
    return f;
  }
  // Opens the window from the panel as the user does.
  desk::AddBook& Open() {
    User([&] { Panel().Command10.Press(); });
    return *app.AddBook.get();
  }
  void Save(const std::string& name) {
    desk::AddBook& w = Open();
    w.Text1.SetText(name);
    User([&] { w.Command1.Press(); });
  }
};

TEST_F(AddBookTest, OpensOnCloseWithSaveDisabled) {
  desk::AddBook& w = Open();
  EXPECT_TRUE(w.Visible());
  EXPECT_TRUE(w.TopMost());
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Address Books ]");
  EXPECT_FALSE(w.Command1.Enabled());
  EXPECT_LT(w.Command2.tabIndex, w.Command1.tabIndex);
  EXPECT_LT(w.Command1.tabIndex, w.Text1.tabIndex);
  EXPECT_EQ(w.Image5.Picture(), "banner");
  EXPECT_EQ(w.Image1.Picture(), "");
  User([&] { w.Command2.Press(); });
  EXPECT_FALSE(app.AddBook.IsLoaded());
  EXPECT_FALSE(Exists(InFolder("books.lst")));
}

TEST_F(AddBookTest, SaveListsTheBookLastMakesItsFolderAndCloses) {
  WriteFile(InFolder("books.lst"), "Default\r\nHome\r\n");
  desk::Form1& f = Panel();
  Save("Work");
  EXPECT_FALSE(app.AddBook.IsLoaded());
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home", "Work"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 0);  // the new book is not selected
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nHome\r\nWork\r\n");
}

TEST_F(AddBookTest, AnEmptyNameIsABookThatShowsTheRootList) {
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  desk::Form1& f = Panel();
  desk::AddBook& w = Open();
  w.Text1.SetText("x");
  w.Text1.SetText("");
  EXPECT_TRUE(w.Command1.Enabled());
  User([&] { w.Command1.Press(); });
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\n\r\n");
  User([&] { f.Combo2.SetListIndex(1); });
  EXPECT_EQ(f.Combo1.Items(), Items{"r: s*"});
}

TEST_F(AddBookTest, ANameListedTwiceSharesOneFile) {
  desk::Form1& f = Panel();
  Save("Work");
  Save("Work");
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Work", "Work"}));
  WriteFile(InFolder("Work/address.dat"), "w: x*\r\n");
  User([&] { f.Combo2.SetListIndex(2); });
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
}

TEST_F(AddBookTest, ASaveThatFailsKeepsTheListAsTheFileAndTheWindowOpen) {
  WriteFile(InFolder("books.lst"), "Default\r\nHome\r\n");
  desk::Form1& f = Panel();
  {
    FileSizeLimit full(1);
    Save("Work");
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].prompt, "The list of address books could not be saved.");
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home"}));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nHome\r\n");
  ASSERT_TRUE(app.AddBook.IsLoaded());
  EXPECT_EQ(app.AddBook.get()->Text1.Text(), "Work");
}

}  // namespace
}  // namespace tallow::testing
