// SIGTERM (the session ends), SIGHUP (the program's terminal closed) and
// SIGINT (Ctrl+C) end the program as the user's "Exit" does. The signal
// handler only wakes the event loop through a pipe; the ending itself runs
// there, as any other event does, never inside the handler.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tallow::desktop {

class EndSignals {
 public:
  // From now on, each of the three signals calls `end` on the event loop.
  // Needs the QApplication; one instance at a time (the handler is global).
  explicit EndSignals(std::function<void()> end);
  // The signals' earlier handling comes back.
  ~EndSignals();
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  std::function<void()> end_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool ending_ = false;
};

}  // namespace tallow::desktop
