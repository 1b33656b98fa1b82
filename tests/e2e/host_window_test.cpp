// The host window under a real window manager (openbox), which maximises
// and minimises it as a user's desktop does; a double click on the tray icon
// brings it back as it last was.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool Within10s(const std::function<bool()>& done) {
  for (auto until = Clock::now() + 10s; Clock::now() < until; std::this_thread::sleep_for(50ms))
    if (done()) return true;
  return done();
}

class UnderAWindowManager : public DesktopUser {
 protected:
  void SetUp() override {
    DesktopUser::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Its complaints (no Debian menu file) are no business of the test's.
    windowManager_ = desktop::testing::Spawn({"sh", "-c", "exec openbox --sm-disable >/dev/null 2>&1"});
    const auto managing = [] {
      return Capture({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") != std::string::npos;
    };
    ASSERT_TRUE(windowManager_ > 0 && Within10s(managing)) << "openbox (scripts/setup.sh --tests) did not come up";
  }
  void TearDown() override {
    if (windowManager_ > 0) {
      ::kill(windowManager_, SIGTERM);
      desktop::testing::Wait(windowManager_);
    }
    DesktopUser::TearDown();
  }

  // The window's _NET_WM_STATE, as the window manager keeps it.
  std::string State(const std::string& window) { return Capture({"xprop", "-id", window, "_NET_WM_STATE"}); }
  bool Maximised(const std::string& window) {
    const std::string state = State(window);
    return state.find("MAXIMIZED_VERT") != std::string::npos && state.find("MAXIMIZED_HORZ") != std::string::npos;
  }
  bool Minimised(const std::string& window) { return State(window).find("HIDDEN") != std::string::npos; }

  void DoubleClick(const std::string& icon) {
    Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "--repeat", "2", "--delay", "80", "1"});
  }

 private:
  pid_t windowManager_ = -1;
};

TEST_F(UnderAWindowManager, TheHostMinimisedFromMaximisedComesBackMaximised) {
  StartQuietly();
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area";
  DoubleClick(icon);
  const std::string host = WaitWindow(kAppTitle);
  ASSERT_FALSE(host.empty()) << "the host window did not show";
  ASSERT_FALSE(WaitWindow(kSendEmail).empty());
  Key("Escape");
  ASSERT_TRUE(WaitGone(kSendEmail));

  int status = -1;
  Capture({"wmctrl", "-i", "-r", host, "-b", "add,maximized_vert,maximized_horz"}, &status);
  ASSERT_EQ(status, 0) << "wmctrl could not maximise the host";
  ASSERT_TRUE(Within10s([&] { return Maximised(host); })) << State(host);
  // The program has seen the maximise once the menu that the icon's right
  // click asks for after it has opened: its events come in order.
  const size_t windows = ProgramWindows().size();
  Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "3"});
  ASSERT_TRUE(Within10s([&] { return ProgramWindows().size() == windows + 1; })) << "the icon's menu did not open";
  Key("Escape");
  ASSERT_TRUE(Within10s([&] { return ProgramWindows().size() == windows; })) << "the menu stayed open";

  Xdotool({"windowminimize", host});
  ASSERT_TRUE(Within10s([&] { return Minimised(host) && Visible(kAppTitle).empty(); })) << State(host);
  DoubleClick(icon);
  EXPECT_FALSE(WaitWindow(kSendEmail).empty()) << "the Send Email window did not show";
  EXPECT_FALSE(WaitWindow(kAppTitle).empty()) << "the host stayed minimised: " << State(host);
  EXPECT_TRUE(Within10s([&] { return Maximised(host) && !Minimised(host); })) << State(host);
  Screenshot("e2e-host-back-maximised");
}

}  // namespace
}  // namespace tallow::e2e
