// Ending the program from outside, as the session does at logout: it ends as
// "Exit" ends it, and in the middle of typing the keymap and the locks are
// left as they were found.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>
#include <vector>

#include "desk/form1.h"
#include "desktop/xserver.h"
#include "e2e/desktop_user.h"

#include <X11/X.h>  // last: its macros clash with other headers

namespace tallow::e2e {
namespace {

using desktop::testing::Keymap;
using desktop::testing::LockState;
using Signals = DesktopUser;

TEST_F(Signals, SigtermWhileTypingEndsTheProgramAndLeavesTheKeymapAndLocksAsTheyWere) {
  desk::Form1 sendEmail(app);
  // A long message, full of characters the keymap lacks: typed with spare key codes.
  std::string message;
  for (int line = 0; line < 200; ++line) message += "Grüße aus Köln: 5 € für ß ✓ line " + std::to_string(line) + "\r\n";
  testing::WriteFile(InProgramFolder("data1.txt"), "Long one\r\n" + message + "\r\n");
  const std::vector<unsigned long> before = Keymap();
  ASSERT_FALSE(before.empty());

  StartQuietly();
  const std::string window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Click(window, FirstRow(sendEmail.List1));  // the template's message into the message box
  ASSERT_TRUE(StartTextWindow()) << "the other program's window did not get the focus";
  Key("Caps_Lock");  // taken off while typing
  ASSERT_EQ(LockState().modifiers, unsigned{LockMask});
  Key("F9");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (TypedText().empty() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_FALSE(TypedText().empty()) << "nothing was typed";
  ASSERT_NE(Keymap(), before) << "no spare key code was bound";

  EXPECT_EQ(EndProgramWith(SIGTERM), 0) << "not ended as \"Exit\" ends it";
  EXPECT_EQ(Keymap(), before);
  EXPECT_EQ(LockState().modifiers, unsigned{LockMask});
  EXPECT_LT(TypedText().size(), message.size()) << "the typing was over before the signal came";
}

}  // namespace
}  // namespace tallow::e2e
