// A save killed at any moment: a process that saves every kind of data file
// over and over is killed with SIGKILL at random moments. Every file is then
// whole, one of the two texts it alternates between, never a mix and never
// missing; what the killed saves left behind is hidden, and the next start
// removes it.
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "store_fixture.h"
#include "stores/addresses.h"
#include "stores/files.h"
#include "stores/leftovers.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;
using namespace tallow::stores;
using namespace std::chrono_literals;

constexpr int kKills = 200;
const std::vector<std::string> kFiles = {"data1.txt", "Default/address.dat", "settings.dat", "books.lst",
                                         "cwd/data.txt"};

class KilledSaveTest : public StoreTest {
 protected:
  // Saves every file with the program's own writers, in version 0 or 1 of
  // its text; the two versions of each file differ in length. `saved` counts
  // the saves that returned. False when a save failed.
  bool SaveAll(const std::string& dir, int version, std::atomic<long>* saved) {
    const bool v = version == 1;
    bool all = true;
    auto done = [&](bool ok) {
      all = all && ok;
      if (saved) ++*saved;
    };
    done(WriteWholeText(JoinPath(dir, "data1.txt"),
                        TemplateText(v ? "A longer subject" : "Subject", std::string(v ? 70000 : 3, 'm'))));
    std::vector<std::string> entries;
    for (int i = 0; i < kMaxEntries; ++i)
      entries.push_back(ContactEntry((v ? "Contact number " : "c") + std::to_string(i), "a@b.example"));
    done(WriteAddressFile(BookAddressFile(dir, kDefaultBook), entries));
    // The program's own settings are always 15 bytes: the other version is
    // a shorter file that reads the same way, so that a torn write shows.
    done(v ? WriteSettings(dir, false, true) : WriteWholeText(JoinPath(dir, kSettingsFile), "1:\r\n0:"));
    std::vector<std::string> books = {kDefaultBook};
    if (v) books.push_back("Work");
    done(WriteListFile(dir, "lst", "books", books));
    done(WriteWholeText(JoinPath(dir, "cwd/data.txt"), v ? std::string(5000, 'n') : "note"));
    return all;
  }

  // The bytes of both versions of every file, as the writers leave them.
  std::vector<std::array<std::string, 2>> Versions() {
    std::vector<std::array<std::string, 2>> versions(kFiles.size());
    TempDir scratch;
    fs::create_directories(scratch.path() + "/Default");
    fs::create_directories(scratch.path() + "/cwd");
    for (int v = 0; v < 2; ++v) {
      EXPECT_TRUE(SaveAll(scratch.path(), v, nullptr));
      for (size_t f = 0; f < kFiles.size(); ++f) versions[f][v] = ReadFile(scratch.path() + "/" + kFiles[f]);
    }
    return versions;
  }
};

TEST_F(KilledSaveTest, EveryFileIsWholeAfterEveryKillAndTheNextStartClearsWhatItLeft) {
  const auto versions = Versions();
  for (const auto& v : versions) ASSERT_NE(v[0].size(), v[1].size());
  const std::string dir = Folder();
  fs::create_directories(dir + "/Default");
  fs::create_directories(dir + "/cwd");
  ASSERT_TRUE(SaveAll(dir, 0, nullptr));

  // Shared with the child: how many saves it has finished, over all children.
  auto* saved = static_cast<std::atomic<long>*>(
      ::mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(saved, MAP_FAILED);
  new (saved) std::atomic<long>(0);

  std::mt19937 rng(std::random_device{}());
  std::vector<std::array<int, 2>> seen(kFiles.size(), {0, 0});
  int killsMidSave = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const long from = saved->load();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (long round = from / 5 + 1;; ++round)
        if (!SaveAll(dir, static_cast<int>(round % 2), saved)) ::_exit(1);
    }
    // A random moment: after a random number of finished saves, and a random
    // part of a millisecond or two into the next.
    const long until = from + std::uniform_int_distribution<long>(0, 7)(rng);
    const auto giveUp = std::chrono::steady_clock::now() + 60s;
    while (saved->load() < until && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(rng)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself: a save failed";
    ASSERT_GE(saved->load(), until) << "the saving process made no progress in a minute";

    for (size_t f = 0; f < kFiles.size(); ++f) {
      const std::string path = dir + "/" + kFiles[f];
      ASSERT_TRUE(fs::exists(path)) << kFiles[f] << " is missing";
      const std::string bytes = ReadFile(path);
      const int version = bytes == versions[f][0] ? 0 : bytes == versions[f][1] ? 1 : -1;
      ASSERT_NE(version, -1) << kFiles[f] << " is neither of its texts (" << bytes.size() << " bytes)";
      ++seen[f][version];
    }

    // What the killed save left is hidden, so that no file list shows it,
    // and is the program's own: the next start takes all of it away.
    bool left = false;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      if (name[0] != '.') continue;
      left = true;
      EXPECT_FALSE(TemporaryTarget(name).empty()) << name;
    }
    killsMidSave += left;
    RemoveLeftoverSaves(dir, dir + "/cwd");
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), dir).string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files, (std::vector<std::string>{"Default/address.dat", "books.lst", "cwd/data.txt", "data1.txt",
                                               "settings.dat"}));
  }
  ::munmap(saved, sizeof(std::atomic<long>));
  // The kills fell at different moments: in the middle of a save, and
  // between saves of either version.
  RecordProperty("kills_mid_save", killsMidSave);
  EXPECT_GT(killsMidSave, 0);
  for (size_t f = 0; f < kFiles.size(); ++f) {
    EXPECT_GT(seen[f][0], 0) << kFiles[f];
    EXPECT_GT(seen[f][1], 0) << kFiles[f];
  }
}

}  // namespace
}  // namespace tallow::testing
