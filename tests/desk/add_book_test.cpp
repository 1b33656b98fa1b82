// The add-book window: a new name at the end of the Send Email window's book list.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "desk/add_book.h"
#include "desk/address_fixture.h"
#include "desk/form1.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;

class AddBookTest : public AddressTest {
 protected:
  // Opens the window from the panel as the user does.
  desk::AddBook& Open() {
    Press(Panel().Command10);
    return *app.AddBook.get();
  }
  void Save(const std::string& name) {
    desk::AddBook& w = Open();
    w.Text1.SetText(name);
    Press(w.Command1);
  }
};

TEST_F(AddBookTest, OpensOnCloseWithSaveDisabledAndCloseWritesNothing) {
  desk::AddBook& w = Open();
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Caption(), app.AppTitle + " - [ Address Books ]");
  EXPECT_FALSE(w.Command1.Enabled());
  EXPECT_LT(w.Command2.tabIndex, w.Command1.tabIndex);
  EXPECT_LT(w.Command1.tabIndex, w.Text1.tabIndex);
  Press(w.Command2);
  EXPECT_FALSE(app.AddBook.IsLoaded());
  EXPECT_FALSE(Exists(InFolder("books.lst")));
}

TEST_F(AddBookTest, SaveListsTheBookLastMakesItsFolderAndCloses) {
  WriteBooks("Default\r\nHome\r\n");
  desk::Form1& f = Panel();
  Save("Work");
  EXPECT_FALSE(app.AddBook.IsLoaded());
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home", "Work"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 0);  // the new book is not selected
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nHome\r\nWork\r\n");
}

TEST_F(AddBookTest, ANamePastedWithALineBreakIsOneBookOfOneLine) {
  WriteBooks("Default\r\n");
  Save("Alpha\r\nBeta\r\n");
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nAlpha Beta\r\n");
  EXPECT_TRUE(fs::is_directory(InFolder("Alpha Beta")));
  EXPECT_EQ(Panel().Combo2.Items(), (Items{"Default", "Alpha Beta"}));
}

TEST_F(AddBookTest, AnEmptyNameIsABookThatShowsTheRootList) {
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  desk::Form1& f = Panel();
  desk::AddBook& w = Open();
  w.Text1.SetText("x");
  w.Text1.SetText("");
  EXPECT_TRUE(w.Command1.Enabled());
  Press(w.Command1);
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\n\r\n");
  Select(f.Combo2, 1);
  EXPECT_EQ(f.Combo1.Items(), Items{"r: s*"});
}

// Such a book would be listed, yet never hold a contact or never be read back.
TEST_F(AddBookTest, ANameThatCannotBeAFolderAndABookPastAFullListAreRefused) {
  std::string books = "Default\r\n";
  for (int i = 1; i < 30001; ++i) books += "B" + std::to_string(i) + "\r\n";
  WriteBooks(books);
  Save("A/B");
  Save("..");
  Save("One more");
  EXPECT_EQ(Box(0), "An address book cannot be named \"A/B\": its name is its folder's, so it cannot be \".\" or "
                    "\"..\" nor hold \"/\" or a control character.|OK|Information|" +
                        app.AppTitle);
  EXPECT_EQ(Box(2),
            "The list of address books is full: it holds 30,001 books, as many as it can show.|OK|Information|" +
                app.AppTitle);
  EXPECT_EQ(Panel().Combo2.ListCount(), 30001);
  EXPECT_EQ(ReadFile(InFolder("books.lst")), books);
  EXPECT_FALSE(Exists(InFolder("One more")));
}

TEST_F(AddBookTest, ASaveThatFailsKeepsTheListAsTheFileAndTheWindowOpen) {
  WriteBooks("Default\r\nHome\r\n");
  desk::Form1& f = Panel();
  {
    FileSizeLimit full(1);
    Save("Work");
  }
  EXPECT_EQ(Box(0),
            "The list of address books could not be saved to books.lst: File too large.|OK|Critical|" + app.AppTitle);
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home"}));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nHome\r\n");
  EXPECT_FALSE(Exists(InFolder("Work")));  // no folder of a book that is not listed
  ASSERT_TRUE(app.AddBook.IsLoaded());
  EXPECT_EQ(app.AddBook.get()->Text1.Text(), "Work");
}

// A book list that could not be read is said so, and never replaced by a
// list built without it.
TEST_F(AddBookTest, ABookListThatCannotBeReadIsToldAndNeverReplaced) {
  ASSERT_EQ(::mkfifo(InFolder("books.lst").c_str(), 0600), 0);
  desk::Form1& f = Panel();
  Save("New");
  EXPECT_EQ(Box(0), "The list of address books could not be read from books.lst: Not a regular file.|OK|Critical|" +
                        app.AppTitle);
  EXPECT_EQ(Box(1), "The list of address books could not be saved to books.lst: Not a regular file.|OK|Critical|" +
                        app.AppTitle);
  EXPECT_EQ(f.Combo2.Items(), Items{"Default"});
  EXPECT_TRUE(fs::is_fifo(InFolder("books.lst")));
  EXPECT_FALSE(Exists(InFolder("New")));
}

// The folder comes first: a book whose folder cannot be made is not listed.
TEST_F(AddBookTest, ABookWhoseFolderCannotBeMadeIsRefusedWithTheReason) {
  WriteBooks("Default\r\nHome\r\n");
  WriteFile(InFolder("settings.dat"), "1:\r\n0:\r\n[END]\r\n");
  const std::string tooLong(300, 'n');
  Save(tooLong);
  Save("settings.dat");
  EXPECT_EQ(Box(0), "The folder of the address book \"" + tooLong +
                        "\" could not be made: File name too long.|OK|Critical|" + app.AppTitle);
  EXPECT_EQ(Box(1), "The folder of the address book \"settings.dat\" could not be made: File exists.|OK|Critical|" +
                        app.AppTitle);
  EXPECT_EQ(Panel().Combo2.Items(), (Items{"Default", "Home"}));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nHome\r\n");
  EXPECT_TRUE(app.AddBook.IsLoaded());
}

}  // namespace
}  // namespace tallow::testing
