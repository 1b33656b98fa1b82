// The tray icon as a user meets it in trayer: docked and flashing, its menu
// on the right button's release, the Send Email window from the menu, the
// host window on a double-click, whose close takes the icon away, and
// "&Exit", which ends the program and leaves every data file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TrayIcon : public DesktopUser {
 protected:
  // The popup menu: the one window the program shows, once it is there.
  std::string WaitMenu() {
    std::vector<std::string> windows;
    for (auto until = Clock::now() + 10s; Clock::now() < until; std::this_thread::sleep_for(50ms))
      if ((windows = ProgramWindows()).size() == 1) return windows.front();
    return "";
  }
};

TEST_F(TrayIcon, DockedFlashingAndItsMenuOpensOnTheRightRelease) {
  StartQuietly();  // the program shows nothing but its icon
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area";
  EXPECT_EQ(ProgramErrors().find("tallowmark: "), std::string::npos) << "nothing is missing here: " << ProgramErrors();
  Screenshot("e2e-tray-icon");

  // It flashes between two pictures: each change brings the other one back.
  const std::string a = Pixels(icon);
  const std::string b = NextPicture(icon, a);
  ASSERT_FALSE(b.empty()) << "the icon does not flash";
  EXPECT_EQ(NextPicture(icon, b), a);

  // Right button held through a flash: nothing. Released: the menu.
  MouseDown(icon, 3);
  EXPECT_FALSE(NextPicture(icon, Pixels(icon)).empty());
  EXPECT_TRUE(ProgramWindows().empty()) << "the menu opened on the press";
  MouseUp(3);
  const std::string menu = WaitMenu();
  ASSERT_FALSE(menu.empty()) << "the menu did not open on the release";
  Screenshot("e2e-tray-menu");

  // "Send Email": the second item, a separator away from the first.
  Key("Down");
  Key("Down");
  Key("Return");
  EXPECT_FALSE(WaitWindow(kSendEmail).empty()) << "\"Send Email\" did not show the Send Email window";
  EXPECT_TRUE(ProgramRunning());
}

TEST_F(TrayIcon, DoubleClickShowsTheHostWindowAndTheSendEmailWindow) {
  StartQuietly();
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area";
  Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_FALSE(WaitWindow(kAppTitle).empty()) << "the host window did not show";
  EXPECT_FALSE(WaitWindow(kSendEmail).empty()) << "the Send Email window did not show";
  Screenshot("e2e-tray-restore");
}

TEST_F(TrayIcon, ClosingTheHostWindowTakesTheIconAwayAndTheHotKeysGoOn) {
  StartQuietly();
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area";
  Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "--repeat", "2", "--delay", "80", "1"});
  const std::string host = WaitWindow(kAppTitle);
  ASSERT_FALSE(host.empty()) << "the host window did not show";
  ASSERT_FALSE(WaitWindow(kSendEmail).empty()) << "the Send Email window did not show";

  CloseWindow(host);
  EXPECT_TRUE(WaitGone(kAppTitle)) << "the host window stayed";
  EXPECT_TRUE(WaitTrayIconGone()) << "the icon stayed in the notification area";
  Key("Escape");
  EXPECT_TRUE(WaitGone(kSendEmail)) << "Esc did not hide the Send Email window";
  EXPECT_FALSE(TapUntilShown("F10", kSendEmail).empty()) << "F10 did not show the Send Email window";
}

TEST_F(TrayIcon, ExitEndsTheProgramAndLeavesEveryDataFileAsItWas) {
  testing::WriteFile(InProgramFolder("data1.txt"), "Subject\r\nMessage\r\n");
  testing::WriteFile(InProgramFolder("books.lst"), "Default\r\nFriends\r\n");
  std::filesystem::create_directory(InProgramFolder("Friends"));
  testing::WriteFile(InProgramFolder("Friends/address.dat"), "Ann: ann@example.org*\r\n");
  StartQuietly();
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area";

  // Every file as start-up left it: its bytes, and which file it is (a
  // write makes a new one) and when it was last written.
  struct Seen {
    std::string bytes;
    ino_t inode;
    long long written;
  };
  auto look = [&] {
    std::map<std::string, Seen> files;
    for (const auto& name : ProgramFolderListing()) {
      if (name.back() == '/' || name == "tallowmark") continue;
      struct stat st {};
      ::stat(InProgramFolder(name).c_str(), &st);
      files[name] = {testing::ReadFile(InProgramFolder(name)), st.st_ino,
                     st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
    }
    return files;
  };
  const auto before = look();

  Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "3"});
  const std::string menu = WaitMenu();
  ASSERT_FALSE(menu.empty()) << "the menu did not open";
  // "&Exit" is the last item: a click just above the menu's bottom edge.
  const std::string size = Capture({"xdotool", "getwindowgeometry", "--shell", menu});
  const int width = std::stoi(size.substr(size.find("WIDTH=") + 6));
  const int height = std::stoi(size.substr(size.find("HEIGHT=") + 7));
  Click(menu, Point{width / 2, height - 10});
  EXPECT_EQ(WaitProgramEnd(), 0) << "\"&Exit\" did not end the program with status 0";

  const auto after = look();
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [name, seen] : before) {
    EXPECT_EQ(after.at(name).bytes, seen.bytes) << name;
    EXPECT_EQ(after.at(name).inode, seen.inode) << name << " was written anew";
    EXPECT_EQ(after.at(name).written, seen.written) << name << " was written";
  }
}

TEST_F(TrayIcon, DocksInANotificationAreaThatComesUpLater) {
  StopNotificationArea();
  StartQuietly();
  // Started, with nowhere to put its icon, and saying so.
  ASSERT_TRUE(WaitErrors("tallowmark: no notification area")) << ProgramErrors();
  EXPECT_TRUE(ProgramWindows().empty());
  StartNotificationArea();
  const std::string icon = WaitTrayIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock in the notification area that came up later";
  Xdotool({"mousemove", "--window", icon, "--polar", "0", "0", "click", "3"});
  EXPECT_FALSE(WaitMenu().empty()) << "the docked icon does not open its menu";
  // Said at start-up, once, as the only thing missing.
  const std::string said = ProgramErrors();
  const size_t at = said.find("tallowmark: no notification area");
  EXPECT_NE(at, std::string::npos) << said;
  EXPECT_EQ(said.find("tallowmark: "), at) << said;
  EXPECT_EQ(said.rfind("tallowmark: "), at) << said;
}

}  // namespace
}  // namespace tallow::e2e
