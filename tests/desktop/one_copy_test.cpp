// The locks that keep a second copy of the program from starting, taken in
// this process as two copies would take them.
#include "platform/desktop/one_copy.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/files.h"

extern char** environ;

namespace tallow::desktop {
namespace {

namespace fs = std::filesystem;

class OneCopyLocks : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& f : {a, b}) fs::create_directory(f);
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
  }
  tallow::testing::TempDir top;
  const std::string a = top.path() + "/a", b = top.path() + "/b", runtime = top.path() + "/runtime";
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(OneCopyLocks, OnePerProgramFolderAndOnePerDisplayHoweverItIsWritten) {
  const OneCopy first(a, ":5", runtime);
  EXPECT_EQ(first.Refusal(), "");
  EXPECT_TRUE(first.Lacks().empty());

  EXPECT_TRUE(Has(OneCopy(a, ":6", runtime).Refusal(), "already running from this program folder (" + a + ")"));
  for (const char* display : {":5", ":5.0", "unix:5.1"})
    EXPECT_TRUE(Has(OneCopy(b, display, runtime).Refusal(), "already running on this display (:5)")) << display;
  EXPECT_TRUE(fs::is_empty(b)) << "a copy refused on the display left a file in its program folder";
  EXPECT_EQ(OneCopy(b, ":6", runtime).Refusal(), "");
}

TEST_F(OneCopyLocks, AChildProcessDoesNotKeepThem) {
  pid_t child = -1;
  {
    const OneCopy first(a, ":5", runtime);
    // As the send starts the mail system.
    char sleep[] = "sleep", seconds[] = "60";
    char* argv[] = {sleep, seconds, nullptr};
    ASSERT_EQ(posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
  }
  // The child closes what it must not keep a moment after the spawn has
  // returned; one that kept the locks would hold them for its whole minute.
  std::string refusal = "not tried";
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
       !refusal.empty() && std::chrono::steady_clock::now() < until;
       std::this_thread::sleep_for(std::chrono::milliseconds(10)))
    refusal = OneCopy(a, ":5", runtime).Refusal();
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(refusal, "");
}

TEST_F(OneCopyLocks, NoneIsTakenInARuntimeFolderThatOthersCanWrite) {
  // There another user could make the lock file first and hold it for good.
  ASSERT_EQ(::chmod(runtime.c_str(), 01777), 0);
  const OneCopy copy(a, ":5", runtime);
  EXPECT_EQ(copy.Refusal(), "");
  ASSERT_EQ(copy.Lacks().size(), 1u);
  EXPECT_TRUE(Has(copy.Lacks()[0], "nothing stops a second copy of the program on this display"));
  EXPECT_TRUE(fs::is_empty(runtime));
}

}  // namespace
}  // namespace tallow::desktop
