// A second start while the program runs, from the same program folder or on
// the same display: it says so and ends without touching a file, and the
// first copy goes on as it was. A copy that was killed blocks no next start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <vector>

#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

namespace fs = std::filesystem;
// What tells that anything under the folder was written, created, removed or
// replaced: each entry's inode, size and times.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> seen;
  std::vector<fs::path> all{folder};
  for (const auto& entry : fs::recursive_directory_iterator(folder)) all.push_back(entry.path());
  for (const fs::path& path : all) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    seen[path.string()] = std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
                          std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + " " +
                          std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
  }
  return seen;
}

// The first copy runs, in the middle of saving the book list and the notes
// (the hidden temporary files of those saves are there).
class OneCopy : public DesktopUser {
 protected:
  void StartFirst() {
    testing::WriteFile(cwd.path() + "/data.txt", "Notes\r\n");
    StartQuietly();
    ASSERT_FALSE(WaitTrayIcon().empty()) << "the first copy did not start";
    testing::WriteFile(InProgramFolder(".books.lst.123456789.tmp"), "Default\r\nFamily\r\n");
    testing::WriteFile(cwd.path() + "/.data.txt.987654321.tmp", "Notes, more\r\n");
  }
};

TEST_F(OneCopy, ASecondStartFromTheSameFolderSaysSoAndChangesNoFile) {
  StartFirst();

  // Started in a session of its own (as on another display): only the
  // program folder is shared.
  const std::string runtime = folder.path() + "/runtime";
  ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
  const auto folderBefore = Snapshot(programFolder_);
  const auto cwdBefore = Snapshot(cwd.path());

  std::string errors;
  EXPECT_EQ(StartAnotherCopy(InProgramFolder("tallowmark"), errors, runtime), 1);
  EXPECT_NE(errors.find("Tallowmark is already running from this program folder"), std::string::npos) << errors;
  EXPECT_EQ(Snapshot(programFolder_), folderBefore);
  EXPECT_EQ(Snapshot(cwd.path()), cwdBefore);
  EXPECT_TRUE(ProgramRunning());
}

TEST_F(OneCopy, ASecondStartOnTheSameDisplaySaysSoAndChangesNoFile) {
  StartFirst();
  const std::string other = cwd.path() + "/other";
  fs::create_directory(other);
  fs::copy_file(InProgramFolder("tallowmark"), other + "/tallowmark");
  const auto folderBefore = Snapshot(programFolder_);
  const auto cwdBefore = Snapshot(cwd.path());

  std::string errors;
  EXPECT_EQ(StartAnotherCopy(other + "/tallowmark", errors), 1);
  EXPECT_NE(errors.find("Tallowmark is already running on this display"), std::string::npos) << errors;
  EXPECT_EQ(Snapshot(programFolder_), folderBefore);
  EXPECT_EQ(Snapshot(cwd.path()), cwdBefore) << "the other copy's folder holds only the program, as before";
  // The first copy still has its hot keys.
  EXPECT_FALSE(TapUntilShown("F10", kSendEmail).empty()) << "F10 did not show the first copy's Send Email window";
}

TEST_F(OneCopy, AfterTheFirstCopyIsKilledTheNextStartRunsAndCleansUp) {
  StartFirst();
  EXPECT_EQ(EndProgramWith(SIGKILL), -1);

  StartQuietly();
  EXPECT_FALSE(WaitTrayIcon().empty()) << "the next start did not run";
  EXPECT_TRUE(ProgramRunning());
  // The saves that the killed copy left half done are gone, its data as it was.
  EXPECT_FALSE(fs::exists(InProgramFolder(".books.lst.123456789.tmp")));
  EXPECT_FALSE(fs::exists(cwd.path() + "/.data.txt.987654321.tmp"));
  EXPECT_EQ(testing::ReadFile(cwd.path() + "/data.txt"), "Notes\r\n");
}

}  // namespace
}  // namespace tallow::e2e
