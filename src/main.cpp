// tallowmark: builds the desktop, runs start-up, enters the event loop.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/desktop/assets.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/end_signals.h"
#include "platform/desktop/one_copy.h"
#include "program.h"

#include <X11/Xlib.h>  // after Qt: its macros clash with Qt's names

namespace {

// Qt warns without a runtime folder; a session started by hand (or under
// Xvfb) often has none. The name in the shared temporary folder may have been
// taken first by someone else (a link, a folder of theirs): such a folder is
// neither changed nor used, and Qt makes do with its own.
void EnsureRuntimeDir() {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir && *dir) return;
  std::error_code ec;
  const auto temp = std::filesystem::temp_directory_path(ec);
  if (ec) return;  // $TMPDIR names no folder: Qt makes do without, and says so
  std::string path = (temp / ("runtime-" + std::to_string(::getuid()))).string();
  ::mkdir(path.c_str(), 0700);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  const bool ours = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
  if (ours) ::fchmod(fd, 0700);
  ::close(fd);
  if (ours) ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
}

// The hot keys and the typing need X11, so the windows go there too (to
// XWayland under Wayland), whatever platform the session would have Qt
// choose; only one named in QT_QPA_PLATFORM is left to Qt.
void UseX11() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform || !*platform) ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

// Qt aborts the process when it cannot reach the X display it would use.
// False when that is about to happen.
bool DisplayReachable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && std::string(platform).rfind("xcb", 0) != 0) return true;  // not X: Qt's own affair
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XCloseDisplay(display);
  return true;
}

#ifdef TALLOWMARK_STARTUP_PROBE
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  EnsureRuntimeDir();
  XInitThreads();  // the typing worker has a display connection of its own
  UseX11();
  if (!DisplayReachable()) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "tallowmark: no X display could be reached (DISPLAY=%s). Start it in an X session, or with "
                 "scripts/run.sh, which starts a virtual display when there is none.\n",
                 display ? display : "");
    return 1;
  }
  QApplication qapp(argc, argv);
  qapp.setQuitOnLastWindowClosed(false);  // the program lives on in the tray
  // Another copy on this program folder or display: say so and end, before
  // anything reads or writes a file.
  const auto oneCopy = tallow::desktop::TakeOneCopy(tallow::shell::ProgramTitle());
  if (!oneCopy) return 1;

  tallow::desktop::Desktop desktop;
  QApplication::setWindowIcon(tallow::desktop::AssetIcon("program"));  // for windows without one of their own
  tallow::Program app(desktop.services());
  // Said once: the program goes on without what is missing.
  for (const std::string& lack : desktop.Lacks()) std::fprintf(stderr, "tallowmark: %s\n", lack.c_str());

#ifdef TALLOWMARK_STARTUP_PROBE
  // The probe build of the start-up benchmark and tests: report and leave at
  // the first pass of the loop. The program as it ships has no such exit.
  QTimer::singleShot(0, [] {
    std::printf("started rss_kib=%ld\n", ResidentKiB());
    std::fflush(stdout);
    ::_exit(0);
  });
#endif

  // The session's end (SIGTERM), a closed terminal (SIGHUP) and Ctrl+C
  // (SIGINT) end the program as "&Exit" does.
  tallow::desktop::EndSignals endSignals([&] { desktop.dispatch([&app] { app.End(); }); });

  app.Start();
  return qapp.exec();
}
