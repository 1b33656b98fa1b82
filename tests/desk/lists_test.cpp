// The windows' lists filled from the stores: templates and information
// entries with their file lists, settings fields, address entries, the book
// list and its Default rule.
#include <gtest/gtest.h>

#include <filesystem>

#include "desk/lists.h"
#include "stores/corpus.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using namespace tallow::desk;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

// A bare window with the controls a window fills from the stores.
class ListsTest : public ProgramTest {
 protected:
  ListsTest() {
    txtMessage.multiLine = true;  // as every window's message box
    Combo2.Click = [this] { clicks.push_back(std::to_string(Combo2.ListIndex()) + " " + Combo2.List(0)); };
  }
  std::string Folder() const { return folder.path(); }
  // Writes the bytes as they are, no CR LF added.
  void Put(const std::string& name, const std::string& bytes) { WriteFile(InFolder(name), bytes); }
  std::string Get(const std::string& name) const { return ReadFile(InFolder(name)); }

  void Load() { LoadTemplate(Folder(), File1, List1); }
  void Open(int index) {
    List1.SetListIndex(index);
    OpenListMessage(Folder(), List1, File1, txtSubject, txtMessage);
  }

  Form form{app, "ListsWindow"};
  FileListBox File1{form, "File1", "*.txt"};
  ListBox List1{form, "List1"};
  TextBox txtSubject{form, "txtSubject"};
  TextBox txtMessage{form, "txtMessage"};
  ListBox List2{form, "List2"};
  ListBox Combo1{form, "Combo1"};
  ListBox Combo2{form, "Combo2"};
  Lines clicks;
};

// ---- templates and information entries ---------------------------------------

TEST_F(ListsTest, EmptyFolderGivesEmptyList) {
  List1.AddItem("stale");
  Load();
  EXPECT_EQ(List1.ListCount(), 0);
  EXPECT_EQ(File1.ListCount(), 0);
}

TEST_F(ListsTest, ListsSubjectsInFileNameOrderAsText) {
  Put("data2.txt", "Two\r\nsecond\r\n");
  Put("data10.txt", "Ten\r\ntenth\r\n");
  Put("notes.dat", "Other\r\n");
  Put(".hidden.txt", "Hidden\r\n");
  fs::create_directory(InFolder("folder.txt"));
  Load();
  EXPECT_EQ(List1.Items(), (Lines{"Ten", "Two"}));
  EXPECT_EQ(List1.ListIndex(), -1);
  Open(0);
  EXPECT_EQ(txtSubject.Text(), "Ten");
  EXPECT_EQ(txtMessage.Text(), "tenth\r\n");
}

TEST_F(ListsTest, InformationEntriesUseTheirOwnPattern) {
  File1.SetPattern("*.txx");
  Put("data1.txt", "Template\r\nt\r\n");
  Put("data3.txx", "Info\r\ni\r\n");
  Load();
  EXPECT_EQ(List1.Items(), (Lines{"Info"}));
}

TEST_F(ListsTest, NothingSelectedKeepsTheBoxes) {
  Put("a.txt", "A\r\nmessage\r\n");
  Load();
  txtSubject.SetText("kept subject");
  txtMessage.SetText("kept message");
  OpenListMessage(Folder(), List1, File1, txtSubject, txtMessage);
  EXPECT_EQ(txtSubject.Text(), "kept subject");
  EXPECT_EQ(txtMessage.Text(), "kept message");
}

TEST_F(ListsTest, VanishedOrUnreadableFileReadsAsEmpty) {
  Put("a.txt", "A\r\nmessage\r\n");
  Put("b.txt", "B\r\nmessage\r\n");
  Load();
  fs::remove(InFolder("a.txt"));
  fs::remove(InFolder("b.txt"));
  fs::create_directory(InFolder("b.txt"));  // a folder in its place cannot be read
  txtSubject.SetText("old");
  txtMessage.SetText("old");
  Open(0);
  EXPECT_EQ(txtSubject.Text(), "");
  EXPECT_EQ(txtMessage.Text(), "");
  txtSubject.SetText("old");
  Open(1);
  EXPECT_EQ(txtSubject.Text(), "");
  // Re-listing drops the vanished file and the folder.
  Load();
  EXPECT_EQ(List1.ListCount(), 0);
}

TEST_F(ListsTest, ListIsRebuiltEachTimeAndLosesItsSelection) {
  Put("a.txt", "A\r\n\r\n");
  Load();
  List1.SetListIndex(0);
  Put("b.txt", "B\r\n\r\n");
  Load();
  EXPECT_EQ(List1.Items(), (Lines{"A", "B"}));
  EXPECT_EQ(List1.ListIndex(), -1);
}

// ---- settings fields -------------------------------------------------------------

TEST_F(ListsTest, ClearingCopyReadsOnceAndAppendingCopyAdds) {
  Put("settings.dat", "1:\r\n0:\r\n[END]\r\n");
  ReFreshSettings(Folder(), List2, true);
  ReFreshSettings(Folder(), List2, true);
  EXPECT_EQ(List2.Items(), (Lines{"1", "\n0"}));
  ReFreshSettings(Folder(), List2, false);
  EXPECT_EQ(List2.Items(), (Lines{"1", "\n0", "1", "\n0"}));
}

// ---- address entries and the book list ------------------------------------------------

TEST_F(ListsTest, EntriesReplaceWhatTheListHeldAndAFileThatCannotBeReadLeavesItEmpty) {
  Put("address.dat", "a: b*\r\nc: d*\r\n");
  Combo1.AddItem("stale");
  LoadEntries(InFolder("address.dat"), Combo1);
  EXPECT_EQ(Combo1.Items(), (Lines{"a: b*", "c: d*"}));
  LoadEntries(InFolder("Nobook/address.dat"), Combo1);
  EXPECT_EQ(Combo1.ListCount(), 0);
  Combo1.AddItem("stale");
  LoadEntries("", Combo1);
  EXPECT_EQ(Combo1.ListCount(), 0);
}

TEST_F(ListsTest, SaveAndLoadList) {
  Combo2.AddItem("Default");
  Combo2.AddItem("Home");
  ASSERT_TRUE(SaveList(Folder(), "lst", "books", Combo2));
  EXPECT_EQ(Get("books.lst"), "Default\r\nHome\r\n");
  Combo1.AddItem("stale");
  LoadList(Folder(), "lst", "books", Combo1);
  EXPECT_EQ(Combo1.Items(), (Lines{"Default", "Home"}));
  Combo2.Clear();
  ASSERT_TRUE(SaveList(Folder(), "lst", "books", Combo2));
  EXPECT_EQ(Get("books.lst"), "\r\n");
  LoadList(Folder(), "lst", "books", Combo1);
  EXPECT_EQ(Combo1.Items(), (Lines{""}));
}

TEST_F(ListsTest, DefaultRuleWithoutSelecting) {
  ApplyDefaultRule(Combo2, false);
  EXPECT_EQ(Combo2.Items(), (Lines{"Default"}));
  Put("books.lst", "Work\r\nHome\r\n");
  LoadList(Folder(), "lst", "books", Combo2);
  ApplyDefaultRule(Combo2, false);
  EXPECT_EQ(Combo2.Items(), (Lines{"Default", "Home"}));
  EXPECT_EQ(Get("books.lst"), "Work\r\nHome\r\n");
  Combo2.SetList(0, "default");
  ApplyDefaultRule(Combo2, false);
  EXPECT_EQ(Combo2.List(0), "Default");
  EXPECT_EQ(Combo2.ListIndex(), -1);
  EXPECT_EQ(clicks, Lines{});
}

TEST_F(ListsTest, DefaultRuleOfTheSendEmailWindowSelects) {
  // Empty list: "Default" appended and selected.
  ApplyDefaultRule(Combo2, true);
  EXPECT_EQ(Combo2.Items(), (Lines{"Default"}));
  EXPECT_EQ(clicks, (Lines{"0 Default"}));
  // Only "Default": nothing selected.
  Combo2.SetListIndex(-1);
  clicks.clear();
  ApplyDefaultRule(Combo2, true);
  EXPECT_EQ(Combo2.ListIndex(), -1);
  EXPECT_EQ(clicks, Lines{});
  // Two items beginning with "Default": selected once.
  Combo2.AddItem("Home");
  ApplyDefaultRule(Combo2, true);
  EXPECT_EQ(clicks, (Lines{"0 Default"}));
  // Another first book: selected as it is, then again as "Default".
  clicks.clear();
  Combo2.SetList(0, "Work");
  ApplyDefaultRule(Combo2, true);
  EXPECT_EQ(clicks, (Lines{"0 Work", "0 Default"}));
  // One item, not "Default": renamed, then selected once.
  clicks.clear();
  Combo2.Clear();
  Combo2.AddItem("Work");
  ApplyDefaultRule(Combo2, true);
  EXPECT_EQ(Combo2.Items(), (Lines{"Default"}));
  EXPECT_EQ(clicks, (Lines{"0 Default"}));
}

// Whatever books.lst holds, the list starts with "Default" after the rule.
TEST_F(ListsTest, DefaultRuleAfterLoadingAnyListFile) {
  const Lines corpus = Corpus();
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    Put("books.lst", corpus[i]);
    LoadList(Folder(), "lst", "books", List1);
    ApplyDefaultRule(List1, true);
    EXPECT_EQ(List1.List(0), "Default");
  }
}

}  // namespace
}  // namespace tallow::testing
