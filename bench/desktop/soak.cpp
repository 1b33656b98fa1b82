// A long run of the real program under Xvfb with trayer as the notification
// area, too long for the test suite: idle with its timers running, then many
// F10 and Esc taps and many sends to the local mailbox. Its resident memory
// at the end must be within 2 MiB of what it was after the first minute,
// every message must have arrived, and the program must still answer F10.
//
// SOAK_SECONDS sets the whole length (600 unless told); SOAK_TAPS and
// SOAK_SENDS how many (1,000 and 100).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long Setting(const char* name, long otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? std::atol(value) : otherwise;
}

using Soak = DesktopUser;

TEST_F(Soak, IdleThenTapsAndSendsWithoutGrowing) {
  const auto length = std::chrono::seconds(Setting("SOAK_SECONDS", 600));
  const long taps = Setting("SOAK_TAPS", 1000), sends = Setting("SOAK_SENDS", 100);
  shell::Welcome welcome(app);
  desk::Form1 sendEmail(app);
  const std::string to = LocalAddress(), run = Token();
  // Two templates: the first is rewritten for every send, and picked again by
  // moving to the second and back (a click on the row already chosen does
  // not open it again).
  testing::WriteFile(InProgramFolder("data1.txt"), "Soak\r\nfirst\r\n");
  testing::WriteFile(InProgramFolder("data2.txt"), "Other\r\nsecond\r\n");

  // The first minute as a new user has it: the welcome window, "Ready!",
  // one look at the Send Email window.
  const auto start = Clock::now();
  StartProgram();
  const std::string welcomeWindow = WaitWindow(kAppTitle);
  ASSERT_FALSE(welcomeWindow.empty()) << "the welcome window did not show";
  Click(welcomeWindow, welcome.Command1);  // "Ready!"
  ASSERT_TRUE(WaitGone(kAppTitle));
  std::printf("started: %ld KiB resident\n", ProgramResidentKiB());
  ASSERT_FALSE(TapUntilShown("F10", kSendEmail).empty());
  Key("Escape");
  ASSERT_TRUE(WaitGone(kSendEmail));
  std::this_thread::sleep_until(start + 60s);
  ASSERT_TRUE(ProgramRunning());
  const long firstMinute = ProgramResidentKiB();
  std::printf("after the first minute: %ld KiB\n", firstMinute);
  // Idle for a third of the run in all, with its key poll (and whatever else ticks).
  std::this_thread::sleep_until(start + std::max<std::chrono::seconds>(60s, length / 3));
  const long afterIdle = ProgramResidentKiB();
  std::printf("after %lld s idle: %ld KiB\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count()),
              afterIdle);

  // F10 and Esc, each given time to show and hide the window; every 50th
  // tap checked.
  int shown = 0;
  for (long tap = 1; tap <= taps; ++tap) {
    Key("F10");
    if (tap % 50 == 0) {
      shown += !WaitWindow(kSendEmail).empty();
    } else {
      std::this_thread::sleep_for(150ms);
    }
    Key("Escape");
    if (tap % 50 == 0) {
      EXPECT_TRUE(WaitGone(kSendEmail)) << "Esc did not hide the window, tap " << tap;
    } else {
      std::this_thread::sleep_for(150ms);
    }
  }
  EXPECT_EQ(shown, taps / 50);
  const long afterTaps = ProgramResidentKiB();
  std::printf("after %ld F10 and Esc taps: %ld KiB\n", taps, afterTaps);

  // Sends: each with a template of its own, picked and sent as a user does.
  PutOnClipboard(to);
  std::vector<std::string> tokens;
  for (long send = 1; send <= sends; ++send) {
    tokens.push_back(run + "-" + std::to_string(send));
    testing::WriteFile(InProgramFolder("data1.txt"),
                       "Soak " + tokens.back() + "\r\nMessage " + std::to_string(send) + "\r\n");
    const std::string window = TapUntilShown("F10", kSendEmail);
    ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window, send " << send;
    Click(window, FirstRow(sendEmail.List1));
    Key("Down");
    Key("Up");
    Click(window, sendEmail.Command1);  // "Send"
    ASSERT_TRUE(WaitGone(kSendEmail)) << "the Send Email window stayed, send " << send;
  }
  int arrived = 0;
  for (const std::string& token : tokens) arrived += !Delivered(token).first.empty();
  EXPECT_EQ(arrived, sends) << "messages that arrived";
  const long afterSends = ProgramResidentKiB();
  std::printf("after %ld sends: %ld KiB; %d of them arrived\n", sends, afterSends, arrived);

  std::this_thread::sleep_until(start + length);
  const long end = ProgramResidentKiB();
  // Still answering, and no bigger than after its first minute, give or take 2 MiB.
  EXPECT_FALSE(TapUntilShown("F10", kSendEmail).empty()) << "the program no longer answers F10";
  EXPECT_TRUE(ProgramRunning());
  std::printf("at the end, after %lld s: %ld KiB (%+ld KiB against the first minute)\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count()),
              end, end - firstMinute);
  EXPECT_LE(std::labs(end - firstMinute), 2048);
}

}  // namespace
}  // namespace tallow::e2e
