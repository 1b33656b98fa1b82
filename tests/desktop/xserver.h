// A virtual X display of the caller's own (Xvfb on a display number it picks
// itself, so that any number of them can run side by side), and small helpers
// to run the X tools the end-to-end tests drive it with.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tallow::desktop::testing {

// True when the program is found on PATH.
bool HaveTool(const std::string& name);

class XServer {
 public:
  // Starts Xvfb and points DISPLAY at it once the display has answered as
  // this server's own; a server that does not is stopped and a fresh one
  // started, a few times at most. Ok() tells whether one came up, Error()
  // why not, attempt by attempt.
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  bool Ok() const { return !display_.empty(); }
  const std::string& Display() const { return display_; }
  const std::string& Error() const { return error_; }

 private:
  // One attempt: "" when the display answered, otherwise why not.
  std::string Start();
  void Stop();

  pid_t pid_ = -1;
  std::string display_;
  std::string error_;
};

// Starts a program (argv[0] looked up on PATH) that ends with the test: it
// gets SIGTERM when the test process dies, however it dies (a time limit, a
// stopped run). `out` and `err`, unless -1, become its standard output and
// error. Its process id, or -1.
pid_t Spawn(const std::vector<std::string>& argv, int out = -1, int err = -1);
// Waits for it to end; returns its exit status, or -1.
int Wait(pid_t pid);
// Starts a program and waits for it.
int RunTool(const std::vector<std::string>& argv);

// The whole keymap of the display DISPLAY names, as key symbols (empty when
// it cannot be reached).
std::vector<unsigned long> Keymap();

// The locked modifiers (Caps Lock, Num Lock, ...) and the locked layout group
// of the display DISPLAY names (none when it cannot be reached).
struct Locks {
  unsigned modifiers = 0;
  int group = 0;
};
Locks LockState();

}  // namespace tallow::desktop::testing
