// The address-book panel of the Send Email window: books, entries, deleting.
#include <gtest/gtest.h>

#include "desk/address_fixture.h"
#include "desk/form1.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using PanelTest = AddressTest;

TEST_F(PanelTest, FirstStartWithoutAnyFileSelectsDefaultAndMakesItsFolder) {
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.Items(), Items{"Default"});
  EXPECT_EQ(f.Combo2.ListIndex(), 0);
  EXPECT_TRUE(fs::is_directory(InFolder("Default")));
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PanelTest, LoneDefaultLineShowsAndRewritesTheRootList) {
  WriteBooks("Default\r\n");
  WriteFile(InFolder("address.dat"), "a: b*\r\nc: d*\r\n");
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.ListIndex(), -1);
  EXPECT_FALSE(Exists(InFolder("Default")));
  EXPECT_EQ(f.Combo1.Items(), (Items{"a: b*", "c: d*"}));
  Select(f.Combo1, 0);
  boxes.answers.push_back(vbYes);
  Press(f.Command6);
  EXPECT_EQ(Box(0), "Are you sure you want to delete the following:\r\n\r\na: b*|YesNo|None|" + app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "c: d*\r\n");
  EXPECT_EQ(f.Combo1.Items(), Items{"c: d*"});
}

TEST_F(PanelTest, ForeignFirstBookIsReplacedAndStillGetsItsFolder) {
  WriteBooks("Work\r\nHome\r\n");
  WriteBook("Default", "a: b*\r\n");
  desk::Form1& f = Panel();
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Home"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 0);
  EXPECT_EQ(f.Combo1.Items(), Items{"a: b*"});
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
}

TEST_F(PanelTest, SelectingABookShowsItsEntriesAndANewBookGetsItsFolder) {
  WriteBooks("Default\r\nWork\r\nNew\r\nWork\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
  Select(f.Combo2, 2);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_TRUE(fs::is_directory(InFolder("New")));
  Select(f.Combo2, 3);  // two books of one name share one file
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
}

TEST_F(PanelTest, ClickingAnEntryPutsItsAddressIntoTheRecipient) {
  WriteBook("Default", "a: b*\r\nno colon*\r\nx: y: z*\r\n");
  desk::Form1& f = Panel();
  f.txtSendTo.SetText("someone@else");
  const Items expected{"b", "no colon*", "y: z"};
  for (int i = 0; i < 3; ++i) {
    Select(f.Combo1, i);
    EXPECT_EQ(f.txtSendTo.Text(), expected[i]);
  }
}

TEST_F(PanelTest, DeleteAddressAsksAndDeletingTheLastEntryLeavesALoneCrLf) {
  WriteBook("Default", "a: b*\r\n");
  desk::Form1& f = Panel();
  Press(f.Command6);
  EXPECT_EQ(Box(0), "Please select an address book entry above.|OK|Information|" + app.AppTitle);
  Select(f.Combo1, 0);
  boxes.answers = {vbNo, vbYes};
  Press(f.Command6);
  EXPECT_EQ(f.Combo1.Items(), Items{"a: b*"});
  Press(f.Command6);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  EXPECT_EQ(ReadFile(BookFile("Default")), "\r\n");
}

TEST_F(PanelTest, DeleteOfABookRefusesDefaultAndAsksForTheOthers) {
  WriteBooks("default\r\nWork\r\nDefault\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 2);  // a second "Default" is refused like the first
  Press(f.Command11);
  EXPECT_EQ(Box(0), "You cannot delete this book.|OK|Critical|Cannot Delete");
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "default\r\nWork\r\nDefault\r\n");

  Select(f.Combo2, 1);
  boxes.answers = {vbNo, vbYes};
  Press(f.Command11);
  EXPECT_EQ(Box(1), "Are you sure you want to delete this address book?|YesNo|None|Confirm Delete");
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nWork\r\nDefault\r\n");  // rewritten as listed
  Press(f.Command11);
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Default"}));
  EXPECT_EQ(f.Combo2.ListIndex(), -1);
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nDefault\r\n");

  Press(f.Command11);
  EXPECT_EQ(Box(3), "Please choose a address book to delete.|OK|Critical|Delete Address Book");
}

TEST_F(PanelTest, DeleteAddressAfterABookWasDeletedLeavesTheRootListAlone) {
  WriteBooks("Default\r\nWork\r\n");
  WriteFile(InFolder("address.dat"), "r: s*\r\n");
  WriteBook("Work", "w: x*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  boxes.answers.push_back(vbYes);
  Press(f.Command11);
  Select(f.Combo1, 0);
  Press(f.Command6);
  EXPECT_EQ(Box(1), "Please choose an address book first.|OK|Information|" + app.AppTitle);
  EXPECT_EQ(ReadFile(InFolder("address.dat")), "r: s*\r\n");
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\n");
  EXPECT_EQ(f.Combo1.Items(), Items{"w: x*"});
}

TEST_F(PanelTest, WritesThatFailKeepTheFilesAndTheListsAlike) {
  WriteBooks("Default\r\nWork\r\n");
  WriteBook("Work", "w: x*\r\nv: y*\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  Select(f.Combo1, 0);
  {
    FileSizeLimit full(1);
    boxes.answers = {vbYes, vbOK, vbYes};
    Press(f.Command6);
    Press(f.Command11);
  }
  EXPECT_EQ(Box(1), "The address book \"Work\" could not be saved to Work/address.dat: File too large.|OK|Critical|" +
                        app.AppTitle);
  EXPECT_EQ(Box(3),
            "The list of address books could not be saved to books.lst: File too large.|OK|Critical|" + app.AppTitle);
  EXPECT_EQ(ReadFile(BookFile("Work")), "w: x*\r\nv: y*\r\n");
  EXPECT_EQ(f.Combo1.Items(), (Items{"w: x*", "v: y*"}));
  EXPECT_EQ(ReadFile(InFolder("books.lst")), "Default\r\nWork\r\n");
  EXPECT_EQ(f.Combo2.Items(), (Items{"Default", "Work"}));
  EXPECT_EQ(f.Combo2.ListIndex(), 1);
}

TEST_F(PanelTest, ABookNamedOutsideTheProgramFolderIsNeitherMadeNorRead) {
  WriteBooks("Default\r\n" + Outside() + "\r\n");
  desk::Form1& f = Panel();
  Select(f.Combo2, 1);
  EXPECT_FALSE(Exists(InFolder(Outside())));
  fs::create_directory(InFolder(Outside()));
  WriteFile(InFolder(Outside() + "/address.dat"), "o: p*\r\n");
  Select(f.Combo2, 1);
  EXPECT_EQ(f.Combo1.ListCount(), 0);
  fs::remove_all(InFolder(Outside()));
}

}  // namespace
}  // namespace tallow::testing
