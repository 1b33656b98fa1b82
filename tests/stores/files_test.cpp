// The file conventions: whole reads, whole writes followed by CR LF, atomic.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>

#include <filesystem>

#include "stores/files.h"
#include "support/files.h"
#include "support/unprivileged.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using namespace tallow::stores;

class FilesTest : public ::testing::Test {
 protected:
  std::string In(const std::string& n) { return dir.path() + "/" + n; }
  TempDir dir;
};

TEST_F(FilesTest, WriteAddsCrLfAndReadGivesItBack) {
  ASSERT_TRUE(WriteWholeText(In("a.dat"), ""));
  EXPECT_EQ(ReadFile(In("a.dat")), "\r\n");
  ASSERT_TRUE(WriteWholeText(In("a.dat"), "x\r\n"));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(In("a.dat"), back));
  EXPECT_EQ(back, "x\r\n\r\n");
}

TEST_F(FilesTest, ReadKeepsEveryByte) {
  std::string bytes("a\0b\r\xff\n", 6);
  WriteFile(In("b.dat"), bytes);
  std::string back;
  ASSERT_TRUE(ReadWholeFile(In("b.dat"), back));
  EXPECT_EQ(back, bytes);
}

TEST_F(FilesTest, ReadOfMissingFileOrFolderFails) {
  std::string back = "old";
  EXPECT_FALSE(ReadWholeFile(In("missing"), back));
  EXPECT_EQ(back, "");
  EXPECT_FALSE(ReadWholeFile(dir.path(), back));
}

// A file whose read fails part way (a failing disk, a network folder: EIO)
// is a file that cannot be read, not an end of the program.
TEST_F(FilesTest, ReadThatFailsIsAFailedRead) {
  fs::create_symlink("/proc/self/mem", In("mem.dat"));
  std::string back = "old";
  EXPECT_FALSE(ReadWholeFile(In("mem.dat"), back));
  EXPECT_EQ(back, "");
  ::mkfifo(In("fifo.dat").c_str(), 0600);  // no writer: an open that waits for one would hang
  EXPECT_FALSE(ReadWholeFile(In("fifo.dat"), back));
}

TEST_F(FilesTest, FailedWriteLeavesTheOldFileWholeAndNoLitter) {
  // A disk that fills up in the middle of the write: a file-size limit makes
  // the write fail part way, for root too.
  WriteFile(In("keep.dat"), "old content\r\n");
  {
    FileSizeLimit full(16);
    EXPECT_FALSE(WriteWholeText(In("keep.dat"), std::string(100, 'n')));
  }
  EXPECT_EQ(ReadFile(In("keep.dat")), "old content\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// As a user without privileges: root writes into read-only folders.
TEST_F(FilesTest, WriteIntoAReadOnlyFolderFails) {
  AsNobody([] {
    TempDir own;
    const std::string file = own.path() + "/keep.dat";
    WriteFile(file, "old");
    ::chmod(own.path().c_str(), 0555);
    EXPECT_FALSE(WriteWholeText(file, "new"));
    EXPECT_EQ(ReadFile(file), "old");
  });
}

TEST_F(FilesTest, WriteIntoAFolderThatIsMissingFails) { EXPECT_FALSE(WriteWholeText(In("no/such/file.dat"), "x")); }

TEST_F(FilesTest, WriteOverAFolderFailsAndKeepsIt) {
  fs::create_directory(In("dir.dat"));
  EXPECT_FALSE(WriteWholeText(In("dir.dat"), "x"));
  EXPECT_TRUE(fs::is_directory(In("dir.dat")));
}

TEST_F(FilesTest, WriteLeavesNoTemporaryFileBehind) {
  ASSERT_TRUE(WriteWholeText(In("c.dat"), "1"));
  ASSERT_TRUE(WriteWholeText(In("c.dat"), "2"));
  int n = 0;
  for (auto& e : fs::directory_iterator(dir.path())) {
    (void)e;
    ++n;
  }
  EXPECT_EQ(n, 1);
}

TEST_F(FilesTest, WriteThroughALinkReplacesTheFileItNames) {
  fs::create_directory(In("elsewhere"));
  WriteFile(In("elsewhere/kept.dat"), "old");
  ::chmod(In("elsewhere/kept.dat").c_str(), 0600);
  fs::create_symlink("elsewhere/kept.dat", In("link.dat"));
  ASSERT_TRUE(WriteWholeText(In("link.dat"), "new"));
  EXPECT_TRUE(fs::is_symlink(In("link.dat")));
  EXPECT_EQ(ReadFile(In("elsewhere/kept.dat")), "new\r\n");
  EXPECT_EQ(fs::status(In("elsewhere/kept.dat")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  // No temporary file left in either folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(In("elsewhere")), fs::directory_iterator()), 1);
}

TEST_F(FilesTest, NewFilesArePrivateAndAFileThatExistsKeepsItsMode) {
  const mode_t old = ::umask(0);
  ASSERT_TRUE(WriteWholeText(In("new.dat"), "x"));
  WriteFile(In("shared.dat"), "old");
  ::chmod(In("shared.dat").c_str(), 0644);
  ASSERT_TRUE(WriteWholeText(In("shared.dat"), "new"));
  ::umask(old);
  EXPECT_EQ(fs::status(In("new.dat")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(In("shared.dat")).permissions() & fs::perms::all, static_cast<fs::perms>(0644));
}

// A data file that is a link is followed only to a regular file of the
// running user's own; anything else reads as unreadable and is not written.
TEST_F(FilesTest, LinksLeadOnlyToRegularFilesOfTheUsersOwn) {
  std::string othersFile = "/etc/passwd";  // root's: another user's unless we are root
  if (::geteuid() == 0) {
    othersFile = In("others.dat");
    WriteFile(othersFile, "theirs");
    ASSERT_EQ(::chown(othersFile.c_str(), 65534, 65534), 0);
  }
  const std::string before = ReadFile(othersFile);
  fs::create_directory(In("folder"));
  fs::create_symlink(othersFile, In("others-link.dat"));
  fs::create_symlink("folder", In("folder-link.dat"));
  fs::create_symlink("missing.dat", In("dangling.dat"));
  for (const char* name : {"others-link.dat", "folder-link.dat", "dangling.dat"}) {
    std::string back = "old";
    EXPECT_FALSE(ReadWholeFile(In(name), back)) << name;
    EXPECT_EQ(back, "") << name;
    EXPECT_FALSE(WriteWholeText(In(name), "new")) << name;
    EXPECT_TRUE(fs::is_symlink(In(name))) << name;
  }
  EXPECT_EQ(ReadFile(othersFile), before);
  EXPECT_FALSE(Exists(In("missing.dat")));
}

TEST_F(FilesTest, FileExistsOnlyForOrdinaryVisibleFiles) {
  WriteFile(In("plain.dat"), "x");
  WriteFile(In(".hidden.dat"), "x");
  fs::create_directory(In("folder"));
  EXPECT_TRUE(FileExists(In("plain.dat")));
  EXPECT_FALSE(FileExists(In(".hidden.dat")));
  EXPECT_FALSE(FileExists(In("folder")));
  EXPECT_FALSE(FileExists(In("missing/plain.dat")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(std::string("bad\0name", 8)));
}

TEST_F(FilesTest, DeleteRemovesAFileOnly) {
  WriteFile(In("gone.dat"), "x");
  fs::create_directory(In("folder"));
  EXPECT_TRUE(DeleteFile(In("gone.dat")));
  EXPECT_FALSE(Exists(In("gone.dat")));
  EXPECT_FALSE(DeleteFile(In("gone.dat")));
  EXPECT_FALSE(DeleteFile(In("folder")));
}

}  // namespace
}  // namespace tallow::testing
