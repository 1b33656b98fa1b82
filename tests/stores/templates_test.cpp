// Templates and information entries: their subjects, one opened, naming a
// new one.
#include <gtest/gtest.h>

#include <filesystem>

#include "store_fixture.h"
#include "stores/files.h"
#include "stores/templates.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class TemplatesTest : public StoreTest {};

TEST_F(TemplatesTest, SubjectStopsAtFirstCr) {
  Put("a.txt", "\r\nbody\r\n");                 // first character a CR: empty item
  Put("b.txt", "Subj\rsecond\r\nmessage\r\n");  // bare CR inside
  EXPECT_EQ(ReadSubjects(Folder(), {"a.txt", "b.txt"}), (Lines{"", "Subj"}));
  const Template opened = ReadTemplate(Folder(), "b.txt");
  EXPECT_EQ(opened.subject, "Subj");
  EXPECT_EQ(opened.message, "message\r\n");
}

TEST_F(TemplatesTest, CrWithoutLfGivesWholeTextAsMessage) {
  Put("a.txt", "Subj\rrest");
  const Template opened = ReadTemplate(Folder(), "a.txt");
  EXPECT_EQ(opened.subject, "Subj");
  EXPECT_EQ(opened.message, "Subj\rrest");
}

TEST_F(TemplatesTest, FileWithoutCrIsListedWholeAndKeepsPositions) {
  Put("a.txt", "");
  Put("b.txt", "no line end at all");
  Put("c.txt", "Third\r\nthree\r\n");
  EXPECT_EQ(ReadSubjects(Folder(), {"a.txt", "b.txt", "c.txt"}), (Lines{"", "no line end at all", "Third"}));
  EXPECT_EQ(ReadTemplate(Folder(), "b.txt").subject, "no line end at all");
  EXPECT_EQ(ReadTemplate(Folder(), "b.txt").message, "no line end at all");
  EXPECT_EQ(ReadTemplate(Folder(), "c.txt").subject, "Third");
}

TEST_F(TemplatesTest, MissingOrUnreadableFileReadsAsEmpty) {
  fs::create_directory(InFolder("b.txt"));  // a folder cannot be read
  EXPECT_EQ(ReadSubjects(Folder(), {"a.txt", "b.txt", ""}), (Lines{"", "", ""}));
  for (const char* name : {"a.txt", "b.txt", ""}) {
    EXPECT_EQ(ReadTemplate(Folder(), name).subject, "");
    EXPECT_EQ(ReadTemplate(Folder(), name).message, "");
  }
}

TEST_F(TemplatesTest, WrittenTemplateReadsBack) {
  ASSERT_TRUE(WriteWholeText(InFolder("data1.txt"), TemplateText("Hello", "line 1\r\nline 2")));
  EXPECT_EQ(Get("data1.txt"), "Hello\r\nline 1\r\nline 2\r\n");
  const Template opened = ReadTemplate(Folder(), "data1.txt");
  EXPECT_EQ(opened.subject, "Hello");
  EXPECT_EQ(opened.message, "line 1\r\nline 2\r\n");
}

TEST_F(TemplatesTest, NewFileNameCountsTheFolderAsItIsNow) {
  EXPECT_EQ(NewFileName(Folder(), "*.txt", 1, ".txt"), "data1.txt");
  Put("data1.txt", "x\r\n");
  Put("other.txt", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), "*.txt", 1, ".txt"), "data3.txt");
  Put("data1.txx", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), "*.txx", 2, ".txx"), "data3.txx");
}

TEST_F(TemplatesTest, NewFileNameNeverNamesAnExistingFile) {
  // data2.txt deleted while data3.txt stays: the count names data3.txt.
  Put("data1.txt", "x\r\n");
  Put("data3.txt", "keep\r\n");
  Put("data4.txt", "keep\r\n");
  EXPECT_EQ(NewFileName(Folder(), "*.txt", 1, ".txt"), "data5.txt");
  fs::create_directory(InFolder("data6.txt"));
  Put("data5.txt", "x\r\n");
  EXPECT_EQ(NewFileName(Folder(), "*.txt", 1, ".txt"), "data7.txt");
}

}  // namespace
}  // namespace tallow::testing
