// Templates and information entries: listing subjects, opening one, naming a
// new one.
#include <gtest/gtest.h>

#include <filesystem>

#include "stores/templates.h"
#include "store_fixture.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;
namespace fs = std::filesystem;

class TemplatesTest : public StoreTest {
 protected:
  FileListBox File1{form, "File1", "*.txt"};
  ListBox List1{form, "List1"};
  TextBox txtSubject{form, "txtSubject"};
  TextBox txtMessage{form, "txtMessage"};
  TemplatesTest() { txtMessage.multiLine = true; }  // as every window's message box

  void Load() { LoadTemplate(Folder(), File1, List1); }
  void Open(int index) {
    List1.SetListIndex(index);
    OpenListMessage(Folder(), List1, File1, txtSubject, txtMessage);
  }
};

TEST_F(TemplatesTest, EmptyFolderGivesEmptyList) {
  List1.AddItem("stale");
  Load();
  EXPECT_EQ(List1.ListCount(), 0);
  EXPECT_EQ(File1.ListCount(), 0);
}

TEST_F(TemplatesTest, ListsSubjectsInFileNameOrderAsText) {
  Put("data2.txt", "Two\r\nsecond\r\n");
  Put("data10.txt", "Ten\r\ntenth\r\n");
  Put("notes.dat", "Other\r\n");
  Put(".hidden.txt", "Hidden\r\n");
  fs::create_directory(InFolder("folder.txt"));
  Load();
  EXPECT_EQ(Items(List1), (std::vector<std::string>{"Ten", "Two"}));
  EXPECT_EQ(List1.ListIndex(), -1);
  Open(0);
  EXPECT_EQ(txtSubject.Text(), "Ten");
  EXPECT_EQ(txtMessage.Text(), "tenth\r\n");
}

TEST_F(TemplatesTest, InformationEntriesUseTheirOwnPattern) {
  File1.SetPattern("*.txx");
  Put("data1.txt", "Template\r\nt\r\n");
  Put("data3.txx", "Info\r\ni\r\n");
  Load();
  EXPECT_EQ(Items(List1), (std::vector<std::string>{"Info"}));
}

TEST_F(TemplatesTest, SubjectStopsAtFirstCr) {
  Put("a.txt", "\r\nbody\r\n");              // first character a CR: empty item
  Put("b.txt", "Subj\rsecond\r\nmessage\r\n");  // bare CR inside
  Load();
  EXPECT_EQ(Items(List1), (std::vector<std::string>{"", "Subj"}));
  Open(1);
  EXPECT_EQ(txtSubject.Text(), "Subj");
  EXPECT_EQ(txtMessage.Text(), "message\r\n");
}

TEST_F(TemplatesTest, CrWithoutLfGivesWholeTextAsMessage) {
  Put("a.txt", "Subj\rrest");
  Load();
  Open(0);
  EXPECT_EQ(txtSubject.Text(), "Subj");
  EXPECT_EQ(txtMessage.Text(), "Subj\rrest");
}

TEST_F(TemplatesTest, FileWithoutCrIsListedWholeAndKeepsPositions) {
  Put("a.txt", "");
  Put("b.txt", "no line end at all");
  Put("c.txt", "Third\r\nthree\r\n");
  Load();
  EXPECT_EQ(Items(List1), (std::vector<std::string>{"", "no line end at all", "Third"}));
  Open(1);
  EXPECT_EQ(txtSubject.Text(), "no line end at all");
  EXPECT_EQ(txtMessage.Text(), "no line end at all");
  Open(2);
  EXPECT_EQ(txtSubject.Text(), "Third");
}

TEST_F(TemplatesTest, NothingSelectedKeepsTheBoxes) {
  Put("a.txt", "A\r\nmessage\r\n");
  Load();
  txtSubject.SetText("kept subject");
  txtMessage.SetText("kept message");
  OpenListMessage(Folder(), List1, File1, txtSubject, txtMessage);
  EXPECT_EQ(txtSubject.Text(), "kept subject");
  EXPECT_EQ(txtMessage.Text(), "kept message");
}

TEST_F(TemplatesTest, VanishedOrUnreadableFileReadsAsEmpty) {
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

TEST_F(TemplatesTest, ListIsRebuiltEachTimeAndLosesItsSelection) {
  Put("a.txt", "A\r\n\r\n");
  Load();
  List1.SetListIndex(0);
  Put("b.txt", "B\r\n\r\n");
  Load();
  EXPECT_EQ(Items(List1), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(List1.ListIndex(), -1);
}

TEST_F(TemplatesTest, WrittenTemplateReadsBack) {
  ASSERT_TRUE(WriteWholeText(InFolder("data1.txt"), TemplateText("Hello", "line 1\r\nline 2")));
  EXPECT_EQ(Get("data1.txt"), "Hello\r\nline 1\r\nline 2\r\n");
  Load();
  Open(0);
  EXPECT_EQ(txtSubject.Text(), "Hello");
  EXPECT_EQ(txtMessage.Text(), "line 1\r\nline 2\r\n");
}

TEST_F(TemplatesTest, NewFileNameCountsTheFolderAsItIsNowAndLeavesTheFileListAlone) {
  EXPECT_EQ(NewFileName(Folder(), File1, 1, ".txt"), "data1.txt");
  Put("data1.txt", "x\r\n");
  Put("other.txt", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), File1, 1, ".txt"), "data3.txt");
  EXPECT_EQ(File1.ListCount(), 0);  // still in step with the visible list
  File1.SetPattern("*.txx");
  Put("data1.txx", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), File1, 2, ".txx"), "data3.txx");
}

TEST_F(TemplatesTest, NewFileNameNeverNamesAnExistingFile) {
  // data2.txt deleted while data3.txt stays: the count names data3.txt.
  Put("data1.txt", "x\r\n");
  Put("data3.txt", "keep\r\n");
  Put("data4.txt", "keep\r\n");
  EXPECT_EQ(NewFileName(Folder(), File1, 1, ".txt"), "data5.txt");
  fs::create_directory(InFolder("data6.txt"));
  Put("data5.txt", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), File1, 1, ".txt"), "data7.txt");
}

}  // namespace
}  // namespace tallow::testing
