#include "support/fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/shift.h"

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

static Services MakeServices(FakeMessageBoxes& b, FakeClipboard& c, FakeKeys& k, FakeKeyboard& kb, FakeTray& t,
                             FakeMail& m, VirtualClock& l, FakeEnvironment& e, FakeWindows& w, Dispatcher& d) {
  return Services{b, c, k, kb, t, m, m, l, e, w, d};
}

ProgramTest::ProgramTest()
    : app((env.folder = folder.path(), env.cwd = cwd.path(),
           MakeServices(boxes, clipboard, keys, keyboard, tray, mail, clock, env, windows, dispatch))) {
  oldCwd_ = fs::current_path().string();
  fs::current_path(cwd.path());
}

ProgramTest::~ProgramTest() {
  std::error_code ec;
  fs::current_path(oldCwd_, ec);
}

void ProgramTest::SetTexts() {
  app.SiteURL = shell::kSiteURL;
  app.AppTitle = std::string("Tallowmark By ") + shell::kSiteName;
  app.MailFooter = shell::BuildMailFooter(app.AppTitle, app.SiteURL);
}

}  // namespace tallow::testing
