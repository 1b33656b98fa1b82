#include "support/unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>

namespace tallow::testing {

namespace {

uid_t NobodyUid() {
  const passwd* pw = ::getpwnam("nobody");
  return pw ? pw->pw_uid : 65534;
}

gid_t NogroupGid() {
  const group* gr = ::getgrnam("nogroup");
  return gr ? gr->gr_gid : 65534;
}

// Drops every privilege for good: groups first, while it still may.
bool DropToNobody() {
  const uid_t uid = NobodyUid();
  const gid_t gid = NogroupGid();
  return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 && ::setresuid(uid, uid, uid) == 0 &&
         ::geteuid() == uid;
}

// The failures the current test has recorded so far.
int Failures() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int n = 0;
  for (int i = 0; i < result->total_part_count(); ++i) n += result->GetTestPartResult(i).failed() ? 1 : 0;
  return n;
}

}  // namespace

void AsNobody(const std::function<void()>& checks) {
  std::cout.flush();
  std::fflush(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0) << "no child process";
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(3);
    if (::geteuid() == 0 && !DropToNobody()) {
      std::cerr << "could not become nobody\n";
      ::_exit(2);
    }
    const int before = Failures();
    bool thrown = false;
    try {  // never back into GoogleTest, which would go on with the rest of the run in this child
      checks();
    } catch (...) {
      thrown = true;
      std::cerr << "the checks run as nobody threw an exception\n";
    }
    const bool failed = thrown || Failures() != before;
    std::cout.flush();
    std::fflush(nullptr);
    ::_exit(failed ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const bool ran = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
  EXPECT_TRUE(ran) << "the checks run as nobody did not finish (wait status " << status << ")";
  EXPECT_FALSE(ran && WEXITSTATUS(status) == 1) << "the checks run as nobody failed (above)";
}

void GiveToNobody(const std::string& path) {
  if (::geteuid() != 0) return;
  ASSERT_EQ(::chown(path.c_str(), NobodyUid(), NogroupGid()), 0) << path;
}

}  // namespace tallow::testing
