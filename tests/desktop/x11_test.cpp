// End to end on a virtual X display of each test's own: keys pressed with
// xdotool as another program would see them, and text typed into another
// program's window.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/desktop/key_state.h"
#include "platform/desktop/typing.h"
#include "support/files.h"
#include "support/needs.h"
#include "xserver.h"

// Last: their macros clash with other headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>

namespace tallow::desktop::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tallow::testing::ReadFile;
using tallow::testing::TempDir;

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    TALLOWMARK_NEEDS(HaveTool("Xvfb"), "Xvfb is not installed");
    TALLOWMARK_NEEDS(HaveTool("xdotool"), "xdotool is not installed");
    server_ = std::make_unique<XServer>();
    ASSERT_TRUE(server_->Ok()) << server_->Error();
  }
  std::unique_ptr<XServer> server_;
};

// ---- key state -------------------------------------------------------------------
using KeyStateTest = X11Test;

TEST_F(KeyStateTest, HeldKeyReadsDownAtEveryPoll) {
  X11KeyState keys;
  ASSERT_TRUE(keys.Connected());
  ASSERT_TRUE(keys.SeesTaps());
  // Pressed and released by the test between its polls, not on a timer of
  // xdotool's: a busy machine may hold the test up, never the key.
  ASSERT_EQ(RunTool({"xdotool", "keydown", "F10"}), 0);
  for (int poll = 0; poll < 7; ++poll) {
    EXPECT_TRUE(keys.IsKeyDown(vbKeyF10)) << "poll " << poll;
    std::this_thread::sleep_for(40ms);
  }
  ASSERT_EQ(RunTool({"xdotool", "keyup", "F10"}), 0);
  // Up at once and staying up: the press was reported while it was held.
  for (int poll = 0; poll < 3; ++poll) {
    EXPECT_FALSE(keys.IsKeyDown(vbKeyF10)) << "poll " << poll;
    std::this_thread::sleep_for(40ms);
  }
}

TEST_F(KeyStateTest, QuickTapBetweenTwoPollsIsSeenOnce) {
  X11KeyState keys;
  ASSERT_TRUE(keys.SeesTaps());
  EXPECT_FALSE(keys.IsKeyDown(vbKeyF10));
  for (int tap = 0; tap < 5; ++tap) {
    ASSERT_EQ(RunTool({"xdotool", "keydown", "F10", "sleep", "0.01", "keyup", "F10"}), 0);
    EXPECT_TRUE(keys.IsKeyDown(vbKeyF10)) << "tap " << tap;
    EXPECT_FALSE(keys.IsKeyDown(vbKeyF10)) << "tap " << tap;
  }
  // A tap of one key is not a tap of another; each key is remembered apart.
  ASSERT_EQ(RunTool({"xdotool", "key", "F9", "Escape"}), 0);
  EXPECT_FALSE(keys.IsKeyDown(vbKeyF10));
  EXPECT_FALSE(keys.IsKeyDown(vbKeyF8));
  EXPECT_TRUE(keys.IsKeyDown(vbKeyEscape));
  EXPECT_TRUE(keys.IsKeyDown(vbKeyF9));
  EXPECT_FALSE(keys.IsKeyDown(vbKeyF9));
}

TEST_F(KeyStateTest, ATapWhileAnotherProgramHoldsTheKeyboardIsSeen) {
  X11KeyState keys;
  ASSERT_TRUE(keys.SeesTaps());
  // Another program takes the whole keyboard, as an open menu does.
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XSync(other, False);
  ASSERT_EQ(RunTool({"xdotool", "keydown", "F10", "sleep", "0.01", "keyup", "F10"}), 0);
  EXPECT_TRUE(keys.IsKeyDown(vbKeyF10));
  EXPECT_FALSE(keys.IsKeyDown(vbKeyF10));
  XCloseDisplay(other);
}

TEST_F(KeyStateTest, APollOfFiveKeysReadsNoKeymap) {
  // Held from before the start: the keymap read at start knows it.
  ASSERT_EQ(RunTool({"xdotool", "keydown", "F9"}), 0);
  X11KeyState keys;
  ASSERT_TRUE(keys.SeesTaps());
  const int poll[] = {vbKeyF10, vbKeyF12, vbKeyF9, vbKeyF8, vbKeyEscape};
  for (int round = 1; round <= 3; ++round)
    for (int key : poll) EXPECT_EQ(keys.IsKeyDown(key), key == vbKeyF9) << "key " << key << ", poll " << round;
  ASSERT_EQ(RunTool({"xdotool", "keyup", "F9"}), 0);
  // The key events alone tell the next poll that the key is up, and that a
  // tap of another key was made since.
  ASSERT_EQ(RunTool({"xdotool", "keydown", "F12", "sleep", "0.01", "keyup", "F12"}), 0);
  for (int key : poll) EXPECT_EQ(keys.IsKeyDown(key), key == vbKeyF12) << "key " << key;
  EXPECT_EQ(keys.KeymapReads(), 1);
}

TEST(KeySymOf, TheProgramsKeyNumbers) {
  EXPECT_EQ(KeySymOf(vbKeyEscape), 0xff1bul);
  EXPECT_EQ(KeySymOf(vbKeyF8), 0xffc5ul);
  EXPECT_EQ(KeySymOf(vbKeyF9), 0xffc6ul);
  EXPECT_EQ(KeySymOf(vbKeyF10), 0xffc7ul);
  EXPECT_EQ(KeySymOf(vbKeyF12), 0xffc9ul);
  EXPECT_EQ(KeySymOf(0), 0ul);
}

// ---- typing into another program --------------------------------------------------
// The program that receives the text: a Qt one, or a Tk one, which reads the
// keys through Xlib instead of Qt's own keymap.
enum class Receiver { kQt, kTk };

class TypingTest : public X11Test {
 protected:
  virtual Receiver TheReceiver() const { return Receiver::kQt; }
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    sink_ = TheReceiver() == Receiver::kQt ? Spawn({TYPESINK_EXE, out_}) : Spawn({"python3", TKSINK_PY, out_});
    ASSERT_GT(sink_, 0);
    auto until = std::chrono::steady_clock::now() + 15s;
    while (!fs::exists(out_ + ".ready") && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(fs::exists(out_ + ".ready")) << "the text window did not get the focus";
  }
  void TearDown() override {
    if (sink_ > 0) {
      ::kill(sink_, SIGTERM);
      Wait(sink_);
    }
  }
  // What the window holds once it holds `expected`, or after 10 s.
  std::string Received(const std::string& expected) {
    auto until = std::chrono::steady_clock::now() + 10s;
    std::string got;
    while ((got = ReadFile(out_)) != expected && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(20ms);
    return got;
  }
  TempDir dir_;
  const std::string out_ = dir_.path() + "/typed.txt";
  pid_t sink_ = -1;
};

TEST_F(TypingTest, TextArrivesByteForByte) {
  XTestKeyboard keyboard;
  ASSERT_TRUE(keyboard.Connected());
  const std::string text = "Hello, World! + ^ % ~ { } ( ) [x] <a> @#$&*_=|\\:;\"'`?/\r\n"
                           "Second line: é € ß ü ÄÖ\nthird\tend";
  keyboard.Type(text);
  keyboard.WaitIdle();
  EXPECT_EQ(Received("Hello, World! + ^ % ~ { } ( ) [x] <a> @#$&*_=|\\:;\"'`?/\n"
                     "Second line: é € ß ü ÄÖ\nthird\tend"),
            "Hello, World! + ^ % ~ { } ( ) [x] <a> @#$&*_=|\\:;\"'`?/\n"
            "Second line: é € ß ü ÄÖ\nthird\tend");
}

TEST_F(TypingTest, OnlyTextIsTypedAndBrokenUtf8OnlyAsReplacementCharacters) {
  XTestKeyboard keyboard;
  // An overlong "/", the C1 controls CSI and NEL (raw 8-bit commands to a
  // terminal), a surrogate, a value above U+10FFFF and a byte that starts nothing.
  keyboard.Type("a\xC0\xAF"
                "b\xC2\x9B"
                "c\xC2\x85"
                "d\xED\xA0\x80"
                "e\xF4\x90\x80\x80"
                "f\xF8"
                "g");
  keyboard.WaitIdle();
  const std::string expected = "a\uFFFD\uFFFDbcd\uFFFD\uFFFD\uFFFDe\uFFFD\uFFFD\uFFFD\uFFFDf\uFFFDg";
  EXPECT_EQ(Received(expected), expected);
}

TEST_F(TypingTest, TextsAreTypedInOrderAndTheKeymapIsLeftAsItWas) {
  const auto before = Keymap();
  {
    XTestKeyboard keyboard;
    keyboard.Type("one ✓ ");
    keyboard.Type("two € ");
    keyboard.Type("three");
    keyboard.WaitIdle();
    EXPECT_EQ(Received("one ✓ two € three"), "one ✓ two € three");
    // The spare key codes are given back once typing has rested a while.
    auto until = std::chrono::steady_clock::now() + 5s;
    while (Keymap() != before && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Keymap(), before);
    keyboard.Type("\n€");
    keyboard.WaitIdle();
    EXPECT_EQ(Received("one ✓ two € three\n€"), "one ✓ two € three\n€");
  }
  EXPECT_EQ(Keymap(), before);  // and at the latest when the keyboard goes
}

TEST_F(TypingTest, LongTextAtFullSpeedLosesNothing) {
  std::string text, shown;
  for (int line = 0; line < 40; ++line) {
    std::string row = "Line " + std::to_string(line) + ": {x} (y) a+b ~c^d 100% ß";
    text += row + "\r\n";
    shown += row + "\n";
  }
  XTestKeyboard keyboard;
  keyboard.Type(text);
  keyboard.WaitIdle();
  EXPECT_EQ(Received(shown), shown);
}

// Counts the keymap reads (QueryKeymap requests) of the clients that connect
// after it, as the X server's RECORD extension reports them.
class KeymapReads {
 public:
  KeymapReads() : control_(XOpenDisplay(nullptr)), data_(XOpenDisplay(nullptr)) {
    int major = 0, minor = 0;
    if (!control_ || !data_ || !XRecordQueryVersion(control_, &major, &minor)) return;
    XRecordRange* range = XRecordAllocRange();
    range->core_requests = {X_QueryKeymap, X_QueryKeymap};
    XRecordClientSpec clients = XRecordFutureClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    if (context_ && !XRecordEnableContextAsync(data_, context_, &KeymapReads::Seen, reinterpret_cast<XPointer>(this)))
      context_ = 0;
  }
  ~KeymapReads() {
    if (context_) {
      XRecordDisableContext(control_, context_);
      XRecordFreeContext(control_, context_);
      XSync(control_, False);  // or the recording never ends on data_, and its close waits for that
    }
    if (data_) XCloseDisplay(data_);
    if (control_) XCloseDisplay(control_);
  }
  bool Ok() const { return context_ != 0; }
  int Count() {
    XRecordProcessReplies(data_);
    return count_;
  }

 private:
  static void Seen(XPointer self, XRecordInterceptData* data) {
    if (data->category == XRecordFromClient) ++reinterpret_cast<KeymapReads*>(self)->count_;
    XRecordFreeData(data);
  }
  Display* control_;
  Display* data_;
  XRecordContext context_ = 0;
  int count_ = 0;
};

TEST_F(TypingTest, WaitsUntilTheUserLetsGoOfShift) {
  KeymapReads reads;
  ASSERT_TRUE(reads.Ok());
  XTestKeyboard keyboard;
  ASSERT_EQ(RunTool({"xdotool", "keydown", "Shift_L"}), 0);
  keyboard.Type("abc 123");
  // The keyboard reads the keys before each key it types: a second read
  // means the first found Shift held, and it waits.
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (reads.Count() < 2 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(10ms);
  ASSERT_GE(reads.Count(), 2);
  EXPECT_EQ(ReadFile(out_), "");  // nothing typed while Shift is held
  ASSERT_EQ(RunTool({"xdotool", "keyup", "Shift_L"}), 0);
  keyboard.WaitIdle();
  EXPECT_EQ(Received("abc 123"), "abc 123");
}

// ---- whatever the locks and the layout ----------------------------------------------
class AnyReceiverTest : public TypingTest, public ::testing::WithParamInterface<Receiver> {
 protected:
  Receiver TheReceiver() const override { return GetParam(); }
};
INSTANTIATE_TEST_SUITE_P(QtAndTk, AnyReceiverTest, ::testing::Values(Receiver::kQt, Receiver::kTk),
                         [](const auto& info) { return info.param == Receiver::kQt ? "Qt" : "Tk"; });

// Caps Lock turns letters over in the receiver, Shift Lock every key; the
// characters the keymap lacks are no exception. Each lock is given back.
TEST_P(AnyReceiverTest, TextIsTypedExactlyWhateverIsLocked) {
  Display* x = XOpenDisplay(nullptr);
  ASSERT_NE(x, nullptr);
  const unsigned numLock = XkbKeysymToModifiers(x, XK_Num_Lock);
  const std::string text = "abc öäü éè ñ ß при ABC 123 ✓\n";
  std::string typed;
  XTestKeyboard keyboard;
  for (unsigned locks : {unsigned{LockMask}, unsigned{ShiftMask}, numLock, LockMask | ShiftMask | numLock}) {
    XkbLockModifiers(x, XkbUseCoreKbd, 0xff, locks);
    XSync(x, False);
    keyboard.Type(text);
    keyboard.WaitIdle();
    typed += text;
    EXPECT_EQ(Received(typed), typed) << "locked modifiers " << locks;
    EXPECT_EQ(LockState().modifiers, locks);
  }
  XCloseDisplay(x);
}

// A second layout, as Russian is to many users, made the active one. The
// keymap is changed after the receiver started: Xvfb takes no other kind of
// second layout, and only a receiver that reads the keys through Xlib (Tk)
// sees it as one.
class TkTypingTest : public TypingTest {
 protected:
  Receiver TheReceiver() const override { return Receiver::kTk; }
};

TEST_F(TkTypingTest, TextIsTypedExactlyInTheSecondLayoutWhichStaysActive) {
  Display* x = XOpenDisplay(nullptr);
  ASSERT_NE(x, nullptr);
  KeySym rows[][4] = {{XK_a, XK_A, XK_Cyrillic_ef, XK_Cyrillic_EF},
                      {XK_b, XK_B, XK_Cyrillic_i, XK_Cyrillic_I},
                      {XK_c, XK_C, XK_Cyrillic_es, XK_Cyrillic_ES}};
  for (KeySym* row : rows) XChangeKeyboardMapping(x, XKeysymToKeycode(x, row[0]), 4, row, 1);
  XkbLockGroup(x, XkbUseCoreKbd, 1);
  XSync(x, False);
  XTestKeyboard keyboard;
  // In the second layout, in the first only, and in none.
  const std::string text = "фис Hello abc при ✓ é ФИС ABC\n";
  keyboard.Type(text);
  keyboard.WaitIdle();
  EXPECT_EQ(Received(text), text);
  EXPECT_EQ(LockState().group, 1);
  XCloseDisplay(x);
}

// ---- the virtual display itself ----------------------------------------------------
// Servers started side by side race for display numbers. A stand-in for Xvfb
// that reports the display of a server already running (as a server that lost
// the race would) must never be taken for a display of the test's own.
TEST(XServerTest, ADisplayThatIsNotItsOwnIsNeverUsed) {
  TALLOWMARK_NEEDS(HaveTool("Xvfb"), "Xvfb is not installed");
  XServer other;
  ASSERT_TRUE(other.Ok()) << other.Error();
  const std::string number = other.Display().substr(1);
  TempDir dir;
  const std::string folder = dir.path();
  const std::string oldPath = ::getenv("PATH");
  ::setenv("PATH", (folder + ":" + oldPath).c_str(), 1);
  // Lies `lies` times, then is the real Xvfb, found on the rest of PATH.
  auto standIn = [&](int lies) {
    fs::remove(folder + "/count");
    std::ofstream(folder + "/Xvfb") << "#!/bin/sh\n"
                                    << "n=$(cat '" << folder << "/count' 2>/dev/null || echo 0)\n"
                                    << "echo $((n + 1)) > '" << folder << "/count'\n"
                                    << "if [ \"$n\" -lt " << lies << " ]; then\n"
                                    << "  eval \"echo " << number << " >&$2\"; exec sleep 60\n"
                                    << "fi\n"
                                    << "PATH=${PATH#*:} exec Xvfb \"$@\"\n";
    fs::permissions(folder + "/Xvfb", fs::perms::owner_all);
  };

  standIn(1);
  {
    XServer mine;
    EXPECT_TRUE(mine.Ok()) << mine.Error();
    EXPECT_NE(mine.Display(), other.Display());
    EXPECT_EQ(::getenv("DISPLAY"), mine.Display());
  }
  standIn(100);
  {
    XServer mine;
    EXPECT_FALSE(mine.Ok());
    // Why, attempt by attempt.
    EXPECT_NE(mine.Error().find("attempt 3: display " + other.Display() + " did not answer"), std::string::npos)
        << mine.Error();
    EXPECT_NE(mine.Error().find("belongs to another process"), std::string::npos) << mine.Error();
  }
  ::setenv("PATH", oldPath.c_str(), 1);
}

}  // namespace
}  // namespace tallow::desktop::testing
