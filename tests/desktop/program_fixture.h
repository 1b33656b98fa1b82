// The program's own windows on real widgets: a Program over a fresh program
// folder, drawn by the desktop, with a double for every service that could
// reach outside the test (message boxes, clipboard, keys, typing, mail).
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <string>

#include "platform/desktop/desktop.h"
#include "program.h"
#include "shell/shift.h"
#include "support/fixture.h"

namespace tallow::desktop::testing {

class ProgramOnDesktop : public ::testing::Test {
 protected:
  ProgramOnDesktop() {
    env.folder = folder.path();
    env.cwd = folder.path();
    shell::SetProgramTexts(app);
    desktop.dispatch.wrap = [this](const Dispatcher::Call& call) {
      Program::Dispatch d(app);
      call();
    };
  }
  ~ProgramOnDesktop() override { desktop.dispatch.wrap = [](const Dispatcher::Call& call) { call(); }; }

  std::string InFolder(const std::string& name) const { return folder.path() + "/" + name; }
  QWidget* Widget(const Form& form) { return desktop.windows.WidgetOf(form); }
  template <class T = QWidget>
  T* Widget(const Control& control) {
    auto* widget = dynamic_cast<T*>(desktop.windows.WidgetOf(control));
    EXPECT_NE(widget, nullptr) << control.Name();
    return widget;
  }

  Desktop desktop;
  tallow::testing::TempDir folder;
  tallow::testing::FakeMessageBoxes boxes;
  tallow::testing::FakeClipboard clipboard;
  tallow::testing::FakeKeys keys;
  tallow::testing::FakeKeyboard keyboard;
  tallow::testing::FakeTray tray;
  tallow::testing::FakeMail mail;
  tallow::testing::FakeEnvironment env;
  Program app{Services{boxes, clipboard, keys, keyboard, tray, mail, mail, desktop.loop, env, desktop.windows}};
};

}  // namespace tallow::desktop::testing
