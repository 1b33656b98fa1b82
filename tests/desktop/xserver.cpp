#include "xserver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sstream>
#include <vector>

// Last: their macros clash with other headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace tallow::desktop::testing {

bool HaveTool(const std::string& name) {
  const char* path = ::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
  return false;
}

pid_t Spawn(const std::vector<std::string>& argv, int out, int err) {
  std::vector<std::string> args(argv);
  std::vector<char*> ptrs;
  for (auto& a : args) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  // The child tells why it could not start on this pipe; an exec closes it unsaid.
  int failed[2];
  if (::pipe2(failed, O_CLOEXEC) != 0) return -1;
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls that are safe between fork and exec from here on: the test
    // may run other threads.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() == parent && (out < 0 || ::dup2(out, 1) >= 0) && (err < 0 || ::dup2(err, 2) >= 0))
      ::execvp(ptrs[0], ptrs.data());
    const int why = ::getppid() == parent ? errno : ESRCH;  // or the test died before the prctl
    [[maybe_unused]] const ssize_t told = ::write(failed[1], &why, sizeof why);
    ::_exit(127);
  }
  ::close(failed[1]);
  int why = 0;
  const bool started = pid > 0 && ::read(failed[0], &why, sizeof why) == 0;
  if (pid < 0) why = errno;
  ::close(failed[0]);
  if (pid > 0 && !started) ::waitpid(pid, nullptr, 0);
  errno = why;
  return started ? pid : -1;
}

int Wait(pid_t pid) {
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunTool(const std::vector<std::string>& argv) { return Wait(Spawn(argv)); }

std::vector<unsigned long> Keymap() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return {};
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(display, &min, &max);
  KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<unsigned long> syms(map, map + (max - min + 1) * per);
  XFree(map);
  XCloseDisplay(display);
  return syms;
}

Locks LockState() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return {};
  XkbStateRec state{};
  XkbGetState(display, XkbUseCoreKbd, &state);
  XCloseDisplay(display);
  return {state.locked_mods, state.locked_group};
}

namespace {

constexpr int kAttempts = 3;
constexpr int kPatienceMs = 15000;  // a loaded machine may take this long to start a server

// What Xvfb last said on its error output, for a failure message.
std::string LastWords(int logFd) {
  char buf[400];
  const off_t size = ::lseek(logFd, 0, SEEK_END);
  const off_t from = size > static_cast<off_t>(sizeof buf) ? size - static_cast<off_t>(sizeof buf) : 0;
  const ssize_t n = ::pread(logFd, buf, sizeof buf, from);
  std::string text = n > 0 ? std::string(buf, static_cast<size_t>(n)) : "";
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text.empty() ? "" : " (Xvfb said: \"" + text + "\")";
}

// Opens an X connection to the socket of display `number` as clients do (the
// abstract socket first, then the file) and waits for the server's answer to
// the connection setup. "" when the process `pid` answered and accepted it;
// otherwise why not.
std::string Answers(const std::string& number, pid_t pid) {
  std::string why;
  for (bool abstract : {true, false}) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = "/tmp/.X11-unix/X" + number;
    std::memcpy(addr.sun_path + (abstract ? 1 : 0), path.data(), path.size());
    const socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    const std::string route = abstract ? "its abstract socket" : path;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return "no socket";
    ucred peer{};
    socklen_t peerLen = sizeof peer;
    // Connection setup: little-endian, protocol 11.0, no authorisation.
    const unsigned char setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    unsigned char reply = 0xff;
    pollfd p{fd, POLLIN, 0};
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
      why += "; " + route + ": " + std::strerror(errno);
    } else if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerLen) != 0 || peer.pid != pid) {
      why += "; " + route + " belongs to another process (" + std::to_string(peer.pid) + ")";
    } else if (::write(fd, setup, sizeof setup) != sizeof setup || ::poll(&p, 1, kPatienceMs) != 1 ||
               ::read(fd, &reply, 1) != 1) {
      why += "; " + route + ": no answer";
    } else if (reply != 1) {
      why += "; " + route + ": the connection was refused";
    } else {
      ::close(fd);
      return "";
    }
    ::close(fd);
  }
  return "display :" + number + " did not answer" + why;
}

}  // namespace

XServer::XServer() {
  if (!HaveTool("Xvfb")) {
    error_ = "Xvfb is not installed";
    return;
  }
  // Servers started side by side race for display numbers: one may report a
  // number that another takes, or end after reporting it. A display is used
  // only once it has answered as this test's own server; otherwise a fresh
  // one is started.
  std::string reasons;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const std::string why = Start();
    if (why.empty()) {
      ::setenv("DISPLAY", display_.c_str(), 1);
      return;
    }
    reasons += "\n  attempt " + std::to_string(attempt) + ": " + why;
    Stop();
    display_.clear();
  }
  error_ = "no virtual display came up in " + std::to_string(kAttempts) + " attempts:" + reasons;
}

std::string XServer::Start() {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  // Its error output goes to a file of memory that only we hold: a pipe that
  // nobody reads could stop the server.
  const int log = ::memfd_create("xvfb-log", MFD_CLOEXEC);
  // Xvfb picks a free display itself and tells its number on this pipe.
  // -noreset: the server would otherwise reset when our probe below, its
  // first client, hangs up, and a client connecting during that finds no
  // extensions.
  pid_ = Spawn(
      {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, -1,
      log);
  ::close(fds[1]);
  std::string number, why;
  if (pid_ < 0) {
    why = std::string("Xvfb did not start: ") + std::strerror(errno);
  } else {
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, kPatienceMs) > 0) {
      char c;
      if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
      why = "Xvfb gave no display number";
    else
      why = Answers(number, pid_);
    if (why.empty() && ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      why = "Xvfb ended after it answered on :" + number;
    }
  }
  ::close(fds[0]);
  if (!why.empty() && log >= 0) why += LastWords(log);
  if (log >= 0) ::close(log);
  if (why.empty()) display_ = ":" + number;
  return why;
}

void XServer::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

XServer::~XServer() { Stop(); }

}  // namespace tallow::desktop::testing
