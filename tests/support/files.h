// Folders and files for the tests' own setup and checks: nothing here needs
// a window or a Program.
#pragma once

#include <string>

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

// A fresh folder that is the process's current directory while it lives.
class CurrentDir : public TempDir {
 public:
  CurrentDir();
  ~CurrentDir();

 private:
  std::string old_;
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

}  // namespace tallow::testing
