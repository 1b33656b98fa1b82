// The small services on Qt: message boxes, the clipboard, timers and the event
// pump, and the process's environment.
#pragma once

#include <QMessageBox>
#include <functional>
#include <map>

#include "platform/desktop/dispatch.h"
#include "platform/services.h"

class QTimer;

namespace tallow::desktop {

QMessageBox::Icon ToQtIcon(MsgIcon icon);
QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons);
// The answer for the button that closed the box; a box closed otherwise
// answers as its last button (OK, or No).
int ToAnswer(int clicked, MsgButtons buttons);

class QtMessageBoxes : public MessageBoxes {
 public:
  int Show(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title) override;
};

class QtClipboard : public Clipboard {
 public:
  bool GetText(std::string& text) override;
  bool Clear() override;
  bool SetText(const std::string& text) override;
};

class QtEventLoop : public EventLoop {
 public:
  explicit QtEventLoop(Dispatcher& dispatch) : dispatch_(dispatch) {}
  ~QtEventLoop() override;
  void TimerChanged(Timer& timer) override;
  void TimerGone(Timer& timer) override;
  void DoEvents() override;
  void EndProcess() override;
  bool IsRunning(const Timer& timer) const;
  // Runs just before the process ends: what must not outlive it is undone here.
  std::function<void()> beforeEnd;

 private:
  Dispatcher& dispatch_;
  std::map<Timer*, QTimer*> timers_;
};

class ProcessEnvironment : public Environment {
 public:
  std::string ProgramFolder() override;
  std::string ExeName() override;
  std::string CurrentDirectory() override;
};

}  // namespace tallow::desktop
