// The main road as a user meets it, in a fresh empty program folder: start-up
// and the welcome window, the Send Email window on F10 with the address the
// clipboard holds, a template made in the settings window and sent through
// the local mail system, the message typed into another program on F9, and
// the next start with the welcome window hidden.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "desk/form1.h"
#include "desk/setting_man.h"
#include "e2e/desktop_user.h"
#include "platform/text.h"
#include "shell/welcome.h"
#include "support/needs.h"

namespace tallow::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kSettings = kAppTitle + " - [ Settings ]";

// A text with the line breaks the data files hold.
std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

using MainRoad = DesktopUser;

TEST_F(MainRoad, FromFirstStartToADeliveredMessageAndAQuietSecondStart) {
  // The windows as designed, for where their controls are.
  shell::Welcome welcome(app);
  desk::Form1 sendEmail(app);
  desk::SettingMan settings(app);
  const std::string token = Token();
  const std::string subject = "Quarterly figures " + token;
  const std::string message = "Dear reader,\nthe figures (all 100%) are in: a+b ~ {c} [d] <e> \"f\" 'g' #1 & $2.\nBye";
  const std::string to = LocalAddress();

  // ---- first start ----
  StartProgram();
  const std::string welcomeWindow = WaitWindow(kAppTitle);
  ASSERT_FALSE(welcomeWindow.empty()) << "the welcome window did not show";
  Screenshot("e2e-welcome");
  // Outlook Express chosen: the fresh settings file, written by start-up.
  EXPECT_EQ(WaitFile(InProgramFolder("settings.dat"), "1:\r\n0:\r\n[END]\r\n"), "1:\r\n0:\r\n[END]\r\n");
  EXPECT_EQ(ProgramWindows().size(), 1u) << "only the welcome window shows at start";

  Click(welcomeWindow, welcome.Command1);  // "Ready!"
  ASSERT_TRUE(WaitGone(kAppTitle)) << "\"Ready!\" did not hide the welcome window";
  EXPECT_TRUE(ProgramWindows().empty()) << "a window showed in its place";

  // ---- F10 with an address on the clipboard ----
  PutOnClipboard(to);
  Key("F10");
  std::string window = WaitWindow(kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Screenshot("e2e-send-email");
  // The recipient box holds the address.
  EXPECT_EQ(CopyOut(window, sendEmail.txtSendTo, to), to) << "the recipient box does not hold the clipboard's address";

  // ---- a template made in the settings window ----
  Click(window, sendEmail.Command4);  // "Template Settings"
  const std::string settingsWindow = WaitWindow(kSettings);
  ASSERT_FALSE(settingsWindow.empty()) << "\"Template Settings\" did not open the settings window";
  EXPECT_TRUE(WaitGone(kSendEmail)) << "the Send Email window stayed";
  Click(settingsWindow, settings.Command3);  // "New Template"
  Click(settingsWindow, settings.txtSubject);
  Type(subject);
  Click(settingsWindow, settings.txtMessage);
  Type(message);
  Screenshot("e2e-settings");
  Click(settingsWindow, settings.Command2);  // "Save Template & Changes"
  AnswerBox("Template Saved.");
  EXPECT_EQ(testing::ReadFile(InProgramFolder("data1.txt")), subject + "\r\n" + CrLf(message) + "\r\n");

  // The welcome window hidden from the next start on, through the settings window's box.
  Click(settingsWindow, settings.Check1);  // "Hide Welcome Screen"
  AnswerBox(kAppTitle);                    // "Are you sure ...?": Yes
  EXPECT_EQ(WaitFile(InProgramFolder("showyes.dat"), "NoShow\r\n"), "NoShow\r\n");

  Click(settingsWindow, settings.Command5);  // "Close Settings"
  EXPECT_TRUE(WaitGone(kSettings)) << "\"Close Settings\" left the settings window open";

  // ---- the template picked and sent ----
  Key("F10");
  window = WaitWindow(kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window again";
  Click(window, FirstRow(sendEmail.List1));  // the one template
  Screenshot("e2e-send-email-template");
  Click(window, sendEmail.Command1);  // "Send"
  EXPECT_TRUE(WaitGone(kSendEmail)) << "the Send Email window stayed after the send";
  auto [head, body] = Delivered(token);
  ASSERT_FALSE(head.empty()) << "the message did not arrive in the local mailbox";
  EXPECT_NE(head.find("\nTo: " + to + "\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nSubject: " + subject + "\n"), std::string::npos) << head;
  // The template's message as saved (its last line break too), then the footer.
  EXPECT_EQ(body.substr(0, body.find_last_not_of('\n') + 2), message + "\n" + kExpressFooter);

  // ---- F9 types the message into another program's window ----
  ASSERT_TRUE(StartTextWindow()) << "the other program's window did not get the focus";
  Key("F9");
  EXPECT_EQ(WaitTyped(message + "\n"), message + "\n");

  // ---- the next start: no window, and F10 still works ----
  ASSERT_TRUE(ProgramRunning());
  EndProgram();
  // Nothing but the data files, whole, and the lock that kept a second copy
  // away: no temporary file left behind.
  EXPECT_EQ(ProgramFolderListing(), (std::vector<std::string>{".tallowmark.lock", "Default/", "data1.txt",
                                                              "settings.dat", "showyes.dat", "tallowmark"}));
  StartProgram();
  // Started once its icon flashes, and no window showed.
  ASSERT_FALSE(WaitTrayIcon().empty()) << "the icon did not dock in the notification area";
  EXPECT_TRUE(ProgramWindows().empty()) << "a window showed at the start";
  window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window after a quiet start";
  EXPECT_EQ(ProgramWindows(), std::vector<std::string>{window}) << "the welcome window showed";
  EXPECT_TRUE(Visible(kAppTitle).empty());
  // The second start kept the mail road chosen.
  EXPECT_EQ(testing::ReadFile(InProgramFolder("settings.dat")), "1:\r\n0:\r\n[END]\r\n");
}

TEST_F(MainRoad, ATemplateOfAnOlderSystemIsSentAsUtf8AndItsFileStaysAsItWas) {
  desk::Form1 sendEmail(app);
  const std::string token = Token();
  // Windows-1252, as the files of older systems are: "Latin café", "naïve body".
  const std::string file = "Latin caf\xE9\r\nna\xEFve body " + token + "\r\n";
  testing::WriteFile(InProgramFolder("data1.txt"), file);
  const std::string to = LocalAddress();
  PutOnClipboard(to);
  StartQuietly();
  const std::string window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Click(window, FirstRow(sendEmail.List1));  // the one template
  Click(window, sendEmail.Command1);         // "Send"
  EXPECT_TRUE(WaitGone(kSendEmail)) << "the Send Email window stayed after the send";
  auto [head, body] = Delivered(token);
  ASSERT_FALSE(head.empty()) << "the message did not arrive in the local mailbox";
  EXPECT_TRUE(text::IsUtf8(head + body)) << head << body;
  EXPECT_NE(head.find("\nTo: " + to + "\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\nSubject: =?UTF-8?B?TGF0aW4gY2Fmw6k=?=\n"), std::string::npos)  // "Latin café"
      << head;
  EXPECT_EQ(body.substr(0, body.find_last_not_of('\n') + 2), "naïve body " + token + "\n" + kExpressFooter);
  EXPECT_EQ(testing::ReadFile(InProgramFolder("data1.txt")), file);
  EXPECT_TRUE(ProgramRunning());
}

TEST_F(MainRoad, F8TypesTheSubjectIntoAnotherWindowAndEscHidesTheSendEmailWindow) {
  desk::Form1 sendEmail(app);
  testing::WriteFile(InProgramFolder("data1.txt"), "Meeting at noon\r\nSee you there.\r\n");
  StartQuietly();
  const std::string window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Click(window, FirstRow(sendEmail.List1));  // the template's subject into the subject box
  ASSERT_TRUE(StartTextWindow()) << "the other program's window did not get the focus";
  Key("F8");
  EXPECT_EQ(WaitTyped("Meeting at noon"), "Meeting at noon");
  EXPECT_FALSE(Visible(kSendEmail).empty()) << "typing hid the Send Email window";
  Key("Escape");
  EXPECT_TRUE(WaitGone(kSendEmail)) << "Esc did not hide the Send Email window";
  EXPECT_EQ(TypedText(), "Meeting at noon");
  EXPECT_TRUE(ProgramRunning());
}

// The program sees an empty /usr/sbin, in a mount namespace of its own.
TEST_F(MainRoad, WithoutAMailSystemItSaysSoOnceAtStartAndGoesOn) {
  const std::vector<std::string> ownMounts = {"unshare", "--user", "--map-root-user", "--mount"};
  std::vector<std::string> probe = ownMounts;
  probe.insert(probe.end(), {"sh", "-c", "mount -t tmpfs none /usr/sbin 2>/dev/null"});
  int status = -1;
  Capture(probe, &status);
  TALLOWMARK_NEEDS(status == 0, "no mount namespace can hide the mail system here (unshare)");

  StartQuietly(ownMounts, "mount -t tmpfs none /usr/sbin");
  ASSERT_FALSE(WaitTrayIcon().empty()) << "the program did not go on to its icon";
  const std::string said = ProgramErrors();
  const size_t at = said.find("tallowmark: no mail system was found (/usr/sbin/sendmail is missing)");
  EXPECT_NE(at, std::string::npos) << said;
  EXPECT_EQ(said.find("tallowmark: "), at) << said;
  EXPECT_EQ(said.rfind("tallowmark: "), at) << said;
}

// Also in a Wayland session that is gone, whose name is still set.
TEST(Start, WithoutADisplayEndsWithAMessageNotACrash) {
  ::unsetenv("DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  for (const char* wayland : {"", "wayland-stale"}) {
    *wayland ? ::setenv("WAYLAND_DISPLAY", wayland, 1) : ::unsetenv("WAYLAND_DISPLAY");
    *wayland ? ::setenv("XDG_SESSION_TYPE", "wayland", 1) : ::unsetenv("XDG_SESSION_TYPE");
    int status = 0;
    const std::string said = Capture({"sh", "-c", "exec \"$0\" 2>&1", TALLOWMARK_EXE}, &status);
    EXPECT_EQ(status, 1) << wayland << said;  // -1: ended by a signal
    EXPECT_NE(said.find("no X display"), std::string::npos) << said;
  }
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("XDG_SESSION_TYPE");
}

// Runs the program's probe build until the first pass of its event loop, with $TMPDIR set
// to `temp` and no runtime folder; returns what it said, `status` its exit status.
std::string StartWithTemporaryFolder(const std::string& temp, int& status) {
  testing::TempDir folder;
  const std::string exe = folder.path() + "/tallowmark";
  std::filesystem::copy_file(TALLOWMARK_PROBE_EXE, exe);
  const char* oldTemp = std::getenv("TMPDIR");
  const std::string keep = oldTemp ? oldTemp : "";
  ::unsetenv("XDG_RUNTIME_DIR");
  ::setenv("TMPDIR", temp.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string said = Capture({"sh", "-c", "exec \"$0\" 2>&1", exe}, &status);
  ::unsetenv("QT_QPA_PLATFORM");
  oldTemp ? ::setenv("TMPDIR", keep.c_str(), 1) : ::unsetenv("TMPDIR");
  return said;
}

TEST(Start, WithoutAUsableTemporaryFolderStillStarts) {
  testing::TempDir folder;
  int status = 0;
  const std::string said = StartWithTemporaryFolder(folder.path() + "/missing", status);
  EXPECT_EQ(status, 0) << said;  // -1: ended by a signal
  EXPECT_NE(said.find("started"), std::string::npos) << said;
}

// The runtime folder start-up makes when the session gives none: private when
// it makes it, and nothing planted at its name (a link, someone else's
// folder) has its mode changed.
TEST(Start, TheRuntimeFolderItMakesIsPrivateAndNothingPlantedThereChanges) {
  namespace fs = std::filesystem;
  const std::string name = "runtime-" + std::to_string(::getuid());
  const auto modeOf = [](const std::string& path) {
    return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::all);
  };
  int status = 0;

  testing::TempDir fresh;
  StartWithTemporaryFolder(fresh.path(), status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(modeOf(fresh.path() + "/" + name), 0700u);

  testing::TempDir linked;
  const std::string target = linked.path() + "/target";
  fs::create_directory(target);
  fs::permissions(target, static_cast<fs::perms>(0755));
  fs::create_directory_symlink(target, linked.path() + "/" + name);
  const std::string said = StartWithTemporaryFolder(linked.path(), status);
  EXPECT_EQ(status, 0) << said;
  EXPECT_EQ(modeOf(target), 0755u);

  if (::geteuid() == 0) {  // only root can plant a folder owned by someone else
    testing::TempDir others;
    const std::string folder = others.path() + "/" + name;
    fs::create_directory(folder);
    fs::permissions(folder, static_cast<fs::perms>(0755));
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    StartWithTemporaryFolder(others.path(), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(modeOf(folder), 0755u);
  }
}

}  // namespace
}  // namespace tallow::e2e
