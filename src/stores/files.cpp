#include "stores/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace tallow::stores {

namespace fs = std::filesystem;

bool ReadWholeFile(const std::string& path, std::string& text) {
  text.clear();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return false;
  text = std::move(data);
  return true;
}

static bool WriteAll(int fd, const std::string& data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// The hidden name a write of `fileName` goes through: no file list shows it.
static std::string TemporaryName(const std::string& fileName, unsigned long number) {
  return "." + fileName + "." + std::to_string(number) + ".tmp";
}

std::string TemporaryTarget(const std::string& name) {
  constexpr size_t kMaxDigits = 9;  // the numbers TemporaryName is given
  const std::string tail = ".tmp";
  if (name.size() < 1 + 1 + 1 + 1 + tail.size() || name[0] != '.' ||
      name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
    return {};
  const size_t end = name.size() - tail.size();
  size_t dot = end;
  while (dot > 1 && std::isdigit(static_cast<unsigned char>(name[dot - 1]))) --dot;
  if (dot == end || end - dot > kMaxDigits || name[dot - 1] != '.' || dot - 1 <= 1) return {};
  return name.substr(1, dot - 2);
}

// A rename is on disk only once its folder is: without this a power cut can
// bring the old file back after a save was reported done.
static bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;  // a folder we may write but not read: nothing more we can do
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
  ::close(fd);
  return ok;
}

bool WriteWholeText(const std::string& path, const std::string& text) {
  fs::path target(path);
  std::error_code ec;
  // A data file that is a link to a file kept elsewhere stays a link: the
  // file it names is the one replaced, as a write into it would.
  if (fs::is_symlink(target, ec)) {
    fs::path named = fs::canonical(target, ec);
    if (!ec) target = named;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (fs::is_directory(target, ec)) return false;

  // A hidden name, so that no file list ever shows a half-written file.
  static std::mt19937_64 rng{std::random_device{}()};
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder / TemporaryName(target.filename().string(), rng() % 1000000000);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  // Keep the old file's permissions where there is one.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  bool ok = WriteAll(fd, text) && WriteAll(fd, CRLF) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return SyncFolder(folder);
}

bool FileExists(const std::string& path) {
  try {
    fs::path p(path);
    std::string name = p.filename().string();
    if (name.empty() || name[0] == '.') return false;
    std::error_code ec;
    return fs::is_regular_file(p, ec) && !ec;
  } catch (...) {
    return false;
  }
}

bool DeleteFile(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  return fs::remove(path, ec) && !ec;
}

void RemoveTemporaries(const std::string& folder, const std::function<bool(const std::string&)>& isDataFile) {
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::string target = TemporaryTarget(name);
    std::error_code sec;
    if (!target.empty() && isDataFile(target) && it->is_regular_file(sec) && !fs::is_symlink(it->symlink_status(sec)))
      ::unlink(it->path().c_str());
  }
}

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "/" + name; }

}  // namespace tallow::stores
