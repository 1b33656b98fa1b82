#include "stores/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/text.h"

namespace tallow::stores {

namespace fs = std::filesystem;

Encoding EncodingOf(std::string_view bytes) { return text::IsUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252; }

std::string Decode(std::string_view piece, Encoding encoding) {
  // A piece of a UTF-8 file can still be cut inside a character: a reader
  // drops the one or two bytes after its separator, whatever they are. Such
  // bytes are read as the code page's, so that the text stays UTF-8 and a
  // rewrite keeps the whole file UTF-8.
  return encoding == Encoding::Utf8 ? text::ToUtf8(piece) : text::FromWindows1252(piece);
}

std::vector<std::string> DecodeAll(std::vector<std::string> pieces, std::string_view bytes) {
  const Encoding encoding = EncodingOf(bytes);
  for (std::string& piece : pieces) piece = Decode(piece, encoding);
  return pieces;
}

static bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Data files that are links are followed by design, but only to a regular
// file of the running user's own: a link planted in a folder others can write
// must not make the program read or replace someone else's file.
static bool LinkTargetIsOurs(const struct stat& target) {
  return S_ISREG(target.st_mode) && target.st_uid == ::geteuid();
}

// Read with read(2): a failing read (EIO on a failing disk or a network
// folder) is then a false result, where a stream would throw.
bool ReadWholeFile(const std::string& path, std::string& text) {
  text.clear();
  if (path.find('\0') != std::string::npos) return false;
  // O_NONBLOCK: a named pipe in the program folder must not hold the open up.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (!IsLink(path) || LinkTargetIsOurs(st));
  std::string data;
  if (ok) data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  while (ok) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0)
      data.append(buf, static_cast<size_t>(n));
    else if (n == 0)
      break;
    else if (errno != EINTR)
      ok = false;
  }
  ::close(fd);
  if (ok) text = std::move(data);
  return ok;
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

// The bytes that hold the text in the file at `path` (see WriteWholeText).
static std::string InEncodingOf(const fs::path& path, const std::string& text) {
  std::string old, bytes;
  if (!ReadWholeFile(path, old) || EncodingOf(old) != Encoding::Windows1252) return text;
  if (!text::ToWindows1252(text, bytes)) return text;
  // Such bytes would be taken for UTF-8 at the next read and show other characters.
  if (bytes != text && text::IsUtf8(bytes)) return text;
  return bytes;
}

// Fails with the reason for errno value `err`.
static bool Fail(std::string* why, int err) {
  if (why) *why = std::strerror(err);
  return false;
}

// A rename is on disk only once its folder is: without this a power cut can
// bring the old file back after a save was reported done. 0, or the errno.
static int SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;  // a folder we may write but not read: nothing more we can do
  const int err = (::fsync(fd) == 0 || errno == EINVAL) ? 0 : errno;  // some file systems cannot sync a folder
  ::close(fd);
  return err;
}

bool WriteWholeText(const std::string& path, const std::string& text, std::string* why) {
  fs::path target(path);
  std::error_code ec;
  // A data file that is a link to a file kept elsewhere stays a link: the
  // file it names is the one replaced, as a write into it would.
  if (IsLink(path)) {
    target = fs::canonical(target, ec);
    if (ec) return Fail(why, ec.value());
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return Fail(why, errno);
    if (!LinkTargetIsOurs(st)) return Fail(why, EACCES);
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (fs::is_directory(target, ec)) return Fail(why, EISDIR);

  // A hidden name, so that no file list ever shows a half-written file.
  static std::mt19937_64 rng{std::random_device{}()};
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder / TemporaryName(target.filename().string(), rng() % 1000000000);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return Fail(why, errno);
  }
  if (fd < 0) return Fail(why, EEXIST);

  // Private, as a new data file is; the old file's permissions where there is one.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  int err = 0;
  if (!WriteAll(fd, InEncodingOf(target, text)) || !WriteAll(fd, CRLF) || ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return Fail(why, err);
  }
  err = SyncFolder(folder);
  return err == 0 || Fail(why, err);
}

bool FileExists(const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  std::error_code ec;
  return !name.empty() && name[0] != '.' && fs::is_regular_file(path, ec);
}

bool DeleteFile(const std::string& path, std::string* why) {
  std::error_code ec;
  const auto st = fs::status(path, ec);
  if (ec || !fs::is_regular_file(st)) {
    if (ec) return Fail(why, ec.value());
    return Fail(why, fs::exists(st) ? EISDIR : ENOENT);
  }
  if (fs::remove(path, ec) && !ec) return true;
  return Fail(why, ec ? ec.value() : ENOENT);
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
