#include "platform/desktop/one_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/desktop/qt_services.h"

namespace tallow::desktop {

namespace {

// In the program folder: hidden, so that no file list shows it, and not named
// as a save's temporary file, so that no clean-up removes it.
constexpr const char* kFolderLock = ".tallowmark.lock";

// One name for one X display, however it is written: ":0", ":0.0" and
// "unix:0" are the same server (the screen number does not matter).
std::string DisplayName(std::string display) {
  const size_t colon = display.rfind(':');
  if (colon != std::string::npos) {
    const size_t dot = display.find('.', colon);
    if (dot != std::string::npos) display.erase(dot);
  }
  if (display.rfind("unix:", 0) == 0) display.erase(0, 4);
  for (char& c : display)
    if (c == '/') c = '_';
  return display;
}

}  // namespace

OneCopy::OneCopy(const std::string& programFolder, const std::string& display, const std::string& runtimeFolder) {
  // Always in this order, so that of two copies started at once that want
  // the same locks one runs; and a copy refused on the display leaves no
  // lock file in its program folder.
  if (!display.empty()) {  // no X display: no hot keys to share
    const std::string name = DisplayName(display);
    const int runtime = runtimeFolder.empty() ? -1 : ::open(runtimeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    // Only there can no one else put a file of that name first, and hold it.
    if (runtime >= 0 && ::fstat(runtime, &st) == 0 && st.st_uid == ::getuid() &&
        (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
      displayLock_ = Lock(runtime, runtimeFolder, "tallowmark-" + name + ".lock",
                          "Tallowmark is already running on this display (" + name +
                              "). A second copy would type into the same windows on the same hot keys, so this "
                              "one ends. Use the copy that runs (F10 shows its Send Email window), or end it first.",
                          "a second copy of the program on this display");
    } else {
      lacks_.push_back("there is no runtime folder private to you (XDG_RUNTIME_DIR=" + runtimeFolder +
                       "), so nothing stops a second copy of the program on this display. Point XDG_RUNTIME_DIR "
                       "at a folder that you alone can write.");
    }
    if (runtime >= 0) ::close(runtime);
    if (!refusal_.empty()) return;
  }

  const int folder = ::open(programFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    lacks_.push_back("the program folder " + programFolder + " cannot be opened (" + std::strerror(errno) +
                     "), so nothing stops a second copy of the program from using it.");
    return;
  }
  folderLock_ = Lock(folder, programFolder, kFolderLock,
                     "Tallowmark is already running from this program folder (" + programFolder +
                         "). A second copy would overwrite what the first one saves, so this one ends. Use the copy "
                         "that runs, or end it first.",
                     "a second copy of the program from using the program folder");
  ::close(folder);
}

int OneCopy::Lock(int folder, const std::string& folderPath, const std::string& name, const std::string& refusal,
                  const std::string& unguarded) {
  // Never through a link, never blocking on a pipe, never left to a child
  // process (a child holding it would outlive this copy and block the next).
  const int fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  std::string why;
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0)
    why = std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    why = "not a regular file";
  else if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    return fd;
  else if (errno == EWOULDBLOCK)
    refusal_ = refusal;
  else
    why = std::strerror(errno);
  if (fd >= 0) ::close(fd);
  if (!why.empty())
    lacks_.push_back(folderPath + "/" + name + " cannot be locked (" + why + "), so nothing stops " + unguarded + ".");
  return -1;
}

OneCopy::~OneCopy() {
  if (folderLock_ >= 0) ::close(folderLock_);
  if (displayLock_ >= 0) ::close(displayLock_);
}

std::unique_ptr<OneCopy> TakeOneCopy(const std::string& title) {
  const char* display = std::getenv("DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  auto copy = std::make_unique<OneCopy>(ProcessEnvironment().ProgramFolder(), display ? display : "",
                                        runtime ? runtime : "");
  for (const std::string& lack : copy->Lacks()) std::fprintf(stderr, "tallowmark: %s\n", lack.c_str());
  if (copy->Refusal().empty()) return copy;
  std::fprintf(stderr, "tallowmark: %s\n", copy->Refusal().c_str());
  // A platform that draws nowhere would wait for an answer no one can give.
  const QString platform = QGuiApplication::platformName();
  if (platform != "offscreen" && platform != "minimal")
    QtMessageBoxes().Show(copy->Refusal(), MsgButtons::OK, MsgIcon::Critical, title);
  return nullptr;
}

}  // namespace tallow::desktop
