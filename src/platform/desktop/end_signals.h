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

  // For a wait that holds up the event loop (the mail system taking a
  // message): the descriptor to poll beside its own, readable once one of the
  // signals has come (-1 while none is watched), and the ending, to run as
  // soon as it is. The ending returns only when it was refused (notes that
  // could not be saved); the wait then goes on.
  static int PendingFd();
  static void EndNow();

 private:
  void End();

  std::function<void()> end_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool ending_ = false;
};

}  // namespace tallow::desktop
