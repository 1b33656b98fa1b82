#include "stores/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

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

namespace {

// A file descriptor, closed when it goes.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes it now: 0, or -1 with errno set.
  int Close() { return ::close(std::exchange(fd_, -1)); }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

// The reasons of our own; the others are the system's (strerror).
const std::string kTooLarge = "File too large (over " + std::to_string(kMaxDataFileBytes >> 20) + " MB)";
const std::string kNotRegular = "Not a regular file";
const std::string kLinkNotFollowed = "A link is followed only when it and the file it leads to are yours";
const std::string kReadOnly = "The file is read-only";

// A chain of links longer than this is not followed.
constexpr int kMaxLinks = 8;

// A data file as its path names it: the folder it lies in and its name
// there, after the links the rule follows, and the file open for reading
// when it is there.
struct Found {
  enum { Exists, Missing, Refused } state = Refused;
  Fd folder;  // O_PATH; none when even the folder is missing
  std::string name;
  Fd file;  // open for reading when Exists
  struct stat st {};
  std::string why;  // the reason, unless Exists
};

Found Refuse(Found found, const std::string& why) {
  found.state = Found::Refused;
  found.why = why;
  return found;
}

// Every step works on what was opened, by its descriptor, so that a link
// swapped while this runs cannot lead it to another file: the link's owner
// and target come from the link opened (O_PATH | O_NOFOLLOW), the file's
// kind, owner and size from the file opened. A link in a folder others may
// write (a shared current directory) is followed only when it is the user's
// own, as the kernel's protected_symlinks rule does in sticky folders.
Found FindDataFile(const std::string& path) {
  Found found;
  if (path.find('\0') != std::string::npos) return Refuse(std::move(found), std::strerror(EINVAL));
  const fs::path p(path);
  const fs::path parent = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  found.name = p.filename().string();
  found.folder = Fd(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!found.folder) {
    found.state = (errno == ENOENT || errno == ENOTDIR) ? Found::Missing : Found::Refused;
    found.why = std::strerror(errno);
    return found;
  }
  const uid_t user = ::geteuid();
  int links = 0;
  for (;; ++links) {
    Fd at(::openat(found.folder.get(), found.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!at) {
      found.why = std::strerror(errno);
      // A link that leads to no file is not followed either.
      found.state = (errno == ENOENT && links == 0) ? Found::Missing : Found::Refused;
      return found;
    }
    if (::fstat(at.get(), &found.st) != 0) return Refuse(std::move(found), std::strerror(errno));
    if (!S_ISLNK(found.st.st_mode)) break;
    if (found.st.st_uid != user) return Refuse(std::move(found), kLinkNotFollowed);
    if (links == kMaxLinks) return Refuse(std::move(found), std::strerror(ELOOP));
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(at.get(), "", target, sizeof target);
    if (n < 0 || static_cast<size_t>(n) == sizeof target)
      return Refuse(std::move(found), std::strerror(n < 0 ? errno : ENAMETOOLONG));
    const fs::path to(std::string(target, static_cast<size_t>(n)));
    const fs::path toFolder = to.parent_path().empty() ? fs::path(".") : to.parent_path();
    Fd next(::openat(found.folder.get(), toFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!next) return Refuse(std::move(found), std::strerror(errno));
    found.folder = std::move(next);
    found.name = to.filename().string();
  }
  // Only a regular file is opened at all (a device or a pipe is not), and
  // what was opened is checked again: the name may lead elsewhere by now.
  const auto kindOf = [](const struct stat& st) {
    return S_ISREG(st.st_mode) ? std::string() : S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotRegular;
  };
  if (const std::string wrong = kindOf(found.st); !wrong.empty()) return Refuse(std::move(found), wrong);
  // O_NONBLOCK: a named pipe put there meanwhile must not hold the open up.
  found.file = Fd(
      ::openat(found.folder.get(), found.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!found.file) return Refuse(std::move(found), std::strerror(errno));
  if (::fstat(found.file.get(), &found.st) != 0) return Refuse(std::move(found), std::strerror(errno));
  if (const std::string wrong = kindOf(found.st); !wrong.empty()) return Refuse(std::move(found), wrong);
  if (links > 0 && found.st.st_uid != user) return Refuse(std::move(found), kLinkNotFollowed);
  if (static_cast<unsigned long long>(found.st.st_size) > kMaxDataFileBytes) return Refuse(std::move(found), kTooLarge);
  found.state = Found::Exists;
  return found;
}

}  // namespace

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

// The bytes that hold the text in place of the file's `old` bytes (see WriteWholeText).
static std::string InEncodingOf(const std::string& old, const std::string& text) {
  std::string bytes;
  if (EncodingOf(old) != Encoding::Windows1252 || !text::ToWindows1252(text, bytes)) return text;
  // Such bytes would be taken for UTF-8 at the next read and show other characters.
  if (bytes != text && text::IsUtf8(bytes)) return text;
  return bytes;
}

bool Fail(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return false;
}

static bool Fail(std::string* why, int err) { return Fail(why, std::strerror(err)); }

// The whole file, never more than kMaxDataFileBytes of it: a file that grows
// past that while it is read is too large as well.
static bool ReadAll(const Found& found, std::string& bytes, std::string* why) {
  bytes.clear();
  bytes.reserve(std::min(static_cast<size_t>(found.st.st_size), kMaxDataFileBytes));
  char buf[65536];
  for (;;) {
    // A failing read (EIO on a failing disk or a network folder) fails the
    // whole read; it never ends the program.
    const ssize_t n = ::read(found.file.get(), buf, std::min(sizeof buf, kMaxDataFileBytes + 1 - bytes.size()));
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(why, errno);
    }
    bytes.append(buf, static_cast<size_t>(n));
    if (bytes.size() > kMaxDataFileBytes) return Fail(why, kTooLarge);
  }
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string* why) {
  text.clear();
  if (why) why->clear();
  const Found found = FindDataFile(path);
  if (found.state == Found::Exists && ReadAll(found, text, why)) return true;
  text.clear();
  if (found.state == Found::Refused && why) *why = found.why;
  return false;
}

// A rename is on disk only once its folder is: without this a power cut can
// bring the old file back after a save was reported done. 0, or the errno.
static int SyncFolder(int folder) {
  const Fd fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd) return 0;  // a folder we may write but not read: nothing more we can do
  return (::fsync(fd.get()) == 0 || errno == EINVAL) ? 0 : errno;  // some file systems cannot sync a folder
}

bool WriteWholeText(const std::string& path, const std::string& text, std::string* why) {
  // The one rule for every data file: what could not be read, or may not be
  // written, is not replaced; the text goes where the file was found, in its
  // folder as opened then, whatever its path names meanwhile.
  const Found found = FindDataFile(path);
  if (found.state == Found::Refused || !found.folder) return Fail(why, found.why);
  std::string old;
  if (found.state == Found::Exists) {
    if ((found.st.st_mode & S_IWUSR) == 0) return Fail(why, kReadOnly);
    if (!ReadAll(found, old, why)) return false;
  }
  const std::string bytes = InEncodingOf(old, text) + CRLF;
  if (bytes.size() > kMaxDataFileBytes) return Fail(why, kTooLarge);

  // A hidden name, so that no file list ever shows a half-written file.
  static std::mt19937_64 rng{std::random_device{}()};
  const int folder = found.folder.get();
  std::string temp;
  Fd fd;
  for (int attempt = 0; attempt < 16 && !fd; ++attempt) {
    temp = TemporaryName(found.name, rng() % 1000000000);
    fd = Fd(::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd && errno != EEXIST) return Fail(why, errno);
  }
  if (!fd) return Fail(why, EEXIST);

  // Private, as a new data file is; the old file's permissions where there is one.
  if (found.state == Found::Exists) ::fchmod(fd.get(), found.st.st_mode & 07777);

  int err = 0;
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) err = errno;
  if (fd.Close() != 0 && err == 0) err = errno;
  if (err == 0 && ::renameat(folder, temp.c_str(), folder, found.name.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlinkat(folder, temp.c_str(), 0);
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
