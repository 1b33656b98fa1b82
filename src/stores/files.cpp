#include "stores/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool WriteWholeText(const std::string& path, const std::string& text) {
  std::string why;
  return WriteWholeText(path, text, why);
}

bool WriteWholeText(const std::string& path, const std::string& text, std::string& why) {
  auto fail = [&why](int error) {
    why = std::strerror(error);
    return false;
  };
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
  if (fs::is_directory(target, ec)) return fail(EISDIR);

  // A hidden name, so that no file list ever shows a half-written file.
  static std::mt19937_64 rng{std::random_device{}()};
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder / ("." + target.filename().string() + "." + std::to_string(rng() % 1000000000) + ".tmp");
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);

  // Keep the old file's permissions where there is one.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  int error = 0;
  if (!WriteAll(fd, text) || !WriteAll(fd, CRLF) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (!error) return true;
  ::unlink(temp.c_str());
  return fail(error);
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

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "/" + name; }

}  // namespace tallow::stores
