#include "support/files.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tallow::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string templ = (fs::temp_directory_path() / "tallowmark-test-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only folders made by a test must not keep their contents.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

CurrentDir::CurrentDir() : old_(fs::current_path().string()) { fs::current_path(path()); }

CurrentDir::~CurrentDir() {
  std::error_code ec;
  fs::current_path(old_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFileLocked(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  ::flock(fd, LOCK_SH);
  std::string text;
  char buf[65536];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  ::close(fd);  // and the lock with it
  return text;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

FileSizeLimit::FileSizeLimit(long bytes) {
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit lim{};
  ::getrlimit(RLIMIT_FSIZE, &lim);
  oldSoft_ = lim.rlim_cur;
  lim.rlim_cur = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &lim);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit lim{};
  ::getrlimit(RLIMIT_FSIZE, &lim);
  lim.rlim_cur = oldSoft_;
  ::setrlimit(RLIMIT_FSIZE, &lim);
  std::signal(SIGXFSZ, oldHandler_);
}

static bool IsRoot() { return ::geteuid() == 0; }

static const passwd& Nobody() {
  static const passwd user = [] {
    const passwd* found = ::getpwnam("nobody");
    if (!found) throw std::runtime_error("no user nobody");
    return *found;
  }();
  return user;
}

void GiveToUnprivileged(const std::string& path) {
  if (IsRoot() && ::chown(path.c_str(), Nobody().pw_uid, Nobody().pw_gid) != 0)
    throw std::runtime_error("chown failed: " + path);
}

std::string AsUnprivileged(const std::function<std::string()>& fn) {
  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(out[0]);
    if (IsRoot() && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody().pw_gid) != 0 || ::setuid(Nobody().pw_uid) != 0))
      ::_exit(1);
    const std::string result = fn();
    for (size_t done = 0; done < result.size();) {
      const ssize_t n = ::write(out[1], result.data() + done, result.size() - done);
      if (n <= 0) ::_exit(1);
      done += static_cast<size_t>(n);
    }
    ::_exit(0);  // nothing of the parent's (its tests, its files) is ended twice
  }
  ::close(out[1]);
  std::string result;
  char buf[4096];
  for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) result.append(buf, static_cast<size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

}  // namespace tallow::testing
