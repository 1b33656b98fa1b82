#include "xserver.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <vector>

extern char** environ;

namespace tallow::desktop::testing {

bool HaveTool(const std::string& name) {
  const char* path = ::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
  return false;
}

pid_t Spawn(const std::initializer_list<std::string>& argv) {
  std::vector<std::string> args(argv);
  std::vector<char*> ptrs;
  for (auto& a : args) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, ptrs[0], nullptr, nullptr, ptrs.data(), environ) != 0) return -1;
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunTool(const std::initializer_list<std::string>& argv) { return Wait(Spawn(argv)); }

XServer::XServer() {
  if (!HaveTool("Xvfb")) {
    error_ = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (::pipe(fds) != 0) {
    error_ = "no pipe";
    return;
  }
  // Xvfb picks a free display itself and tells its number on this pipe.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  std::string fd = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
  std::vector<char*> ptrs;
  for (auto& a : args) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, ptrs.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    pid_ = -1;
    error_ = "Xvfb did not start";
    return;
  }
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (::poll(&p, 1, 15000) > 0) {
    char c;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (number.empty()) {
    error_ = "Xvfb gave no display number";
    return;
  }
  display_ = ":" + number;
  ::setenv("DISPLAY", display_.c_str(), 1);
}

XServer::~XServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

}  // namespace tallow::desktop::testing
