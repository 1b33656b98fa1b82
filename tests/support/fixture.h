// A Program over a fresh temporary program folder and current directory, with
// a test double for every service.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/dispatch.h"
#include "program.h"
#include "support/doubles.h"
#include "support/files.h"

namespace tallow::testing {

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    env.folder = folder.path();
    env.cwd = cwd.path();
  }

  // Sets the program-wide texts as start-up does, without running start-up.
  void SetTexts();
  // A path in the program folder.
  std::string InFolder(const std::string& name) const { return folder.path() + "/" + name; }
  // Runs fn as the desktop runs a user action: inside a dispatch.
  template <class F>
  void User(F&& fn) {
    dispatch(std::forward<F>(fn));
  }
  // The message box shown i-th had that prompt, icon and title.
  void ExpectBox(size_t i, const std::string& prompt, MsgIcon icon, const std::string& title) {
    ASSERT_GT(boxes.shown.size(), i);
    EXPECT_EQ(boxes.shown[i].prompt, prompt);
    EXPECT_EQ(boxes.shown[i].icon, icon);
    EXPECT_EQ(boxes.shown[i].title, title);
  }

  TempDir folder;
  CurrentDir cwd;
  FakeMessageBoxes boxes;
  FakeClipboard clipboard;
  FakeKeys keys;
  FakeKeyboard keyboard;
  FakeTray tray;
  FakeMail mail;
  Dispatcher dispatch;
  VirtualClock clock{dispatch};
  FakeEnvironment env;
  FakeWindows windows;
  Program app{Services{boxes, clipboard, keys, keyboard, tray, mail, mail, clock, env, windows, dispatch}};
};

}  // namespace tallow::testing
