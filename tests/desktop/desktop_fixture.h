// The real desktop services with a host of the tests' own, so that tests can
// build small windows that are not part of the program.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/desktop/desktop.h"

namespace tallow::desktop::testing {

// Unloads as the program does: query-unload, unload, then the window goes.
class TestHost : public Host {
 public:
  explicit TestHost(Desktop& desktop) : desktop_(desktop), services_(desktop.services()) {}
  Services& Svc() override { return services_; }
  void UnloadForm(Form& form, int unloadMode) override {
    if (!form.IsLoaded()) return;
    int cancel = 0;
    form.Form_QueryUnload(cancel, unloadMode);
    if (cancel) return;
    form.RaiseUnload(cancel);
    if (cancel) return;
    form.SetLoaded(false);
    desktop_.windows.Detach(form);
  }

 private:
  Desktop& desktop_;
  Services services_;
};

// Runs the event loop until `done` or the time is up; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

class DesktopTest : public ::testing::Test {
 protected:
  // Attaches and loads a window as the program does.
  void Load(Form& form) {
    desktop.windows.Attach(form);
    form.Form_Load();
    form.SetLoaded(true);
  }
  QWidget* W(const Form& form) { return desktop.windows.WidgetOf(form); }
  QWidget* W(const Control& control) { return desktop.windows.WidgetOf(control); }
  template <class T>
  T* W(const Control& control) {
    return dynamic_cast<T*>(desktop.windows.WidgetOf(control));
  }

  Desktop desktop;
  TestHost host{desktop};
};

}  // namespace tallow::desktop::testing
