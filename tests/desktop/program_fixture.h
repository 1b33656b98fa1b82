// Windows on real widgets, hosted by a real Program over a fresh program
// folder: the program's own windows, or small ones of a test's own in a
// WindowSlot of that program. The desktop draws them, with a double for every
// service that could reach outside the test (message boxes, clipboard, keys,
// typing, mail).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/desktop/desktop.h"
#include "program.h"
#include "shell/shift.h"
#include "support/fixture.h"

namespace tallow::desktop::testing {

// Runs the event loop until `done` or the time is up; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class ProgramOnDesktop : public ::testing::Test {
 protected:
  ProgramOnDesktop() {
    env.folder = folder.path();
    env.cwd = folder.path();
    shell::SetProgramTexts(app);
  }

  std::string InFolder(const std::string& name) const { return folder.path() + "/" + name; }
  QWidget* Widget(const Form& form) { return desktop.windows.WidgetOf(form); }
  template <class T = QWidget>
  T* Widget(const Control& control) {
    auto* widget = dynamic_cast<T*>(desktop.windows.WidgetOf(control));
    EXPECT_NE(widget, nullptr) << control.Name();
    return widget;
  }
  // Shows one of the program's windows as a user's action does.
  template <class W>
  W& Show(WindowSlot<W>& slot) {
    desktop.dispatch([&] { slot().Show(); });
    return *slot.get();
  }
  // Keeps the window's picture in the folder named by TALLOWMARK_SHOTS, when it is set.
  void Shot(const Form& form, const std::string& name) {
    const char* shots = std::getenv("TALLOWMARK_SHOTS");
    if (!shots || !*shots) return;
    std::filesystem::create_directories(shots);
    Widget(form)->grab().save(QString::fromStdString(std::string(shots) + "/" + name + ".png"));
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
  Program app{Services{boxes, clipboard, keys, keyboard, tray, mail, mail, desktop.loop, env, desktop.windows,
                       desktop.dispatch}};
};

}  // namespace tallow::desktop::testing
