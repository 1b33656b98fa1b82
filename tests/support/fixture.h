// A Program over a fresh temporary program folder and current directory, with
// a test double for every service.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/dispatch.h"
#include "program.h"
#include "support/doubles.h"

namespace tallow::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Whole-file helpers for the tests' own setup and checks.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// The whole file, read under a shared lock (flock): a writer that holds the
// lock, as a mail system appending to a mailbox does, is never seen half way.
std::string ReadFileLocked(const std::string& path);

// While it lives, files of this process cannot grow beyond `bytes`: a write
// past it fails as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  unsigned long oldSoft_;
  void (*oldHandler_)(int);
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest();
  ~ProgramTest() override;

  // Sets the program-wide texts as start-up does, without running start-up.
  void SetTexts();
  // A path in the program folder.
  std::string InFolder(const std::string& name) const { return folder.path() + "/" + name; }
  // Runs fn as the desktop runs a user action: inside a dispatch.
  template <class F>
  void User(F&& fn) {
    dispatch(std::forward<F>(fn));
  }

  TempDir folder;
  TempDir cwd;
  FakeMessageBoxes boxes;
  FakeClipboard clipboard;
  FakeKeys keys;
  FakeKeyboard keyboard;
  FakeTray tray;
  FakeMail mail;
  Dispatcher dispatch;
  VirtualClock clock{dispatch};
  FakeEnvironment env;
  FakeWindows windows;
  Program app;

 private:
  std::string oldCwd_;
};

}  // namespace tallow::testing
