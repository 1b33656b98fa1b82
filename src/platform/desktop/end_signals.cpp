#include "platform/desktop/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace tallow::desktop {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int wakeRead = -1, wakeWrite = -1;
struct sigaction previous[std::size(kSignals)];
EndSignals* watching = nullptr;

// Async-signal-safe: one byte into the pipe, errno as it was.
void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeWrite, &byte, 1);  // a full pipe is already awake
  errno = saved;
}

}  // namespace

EndSignals::EndSignals(std::function<void()> end) : end_(std::move(end)) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  wakeRead = fds[0];
  wakeWrite = fds[1];
  notifier_ = std::make_unique<QSocketNotifier>(wakeRead, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { End(); });
  watching = this;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &previous[i]);
}

void EndSignals::End() {
  char bytes[64];
  while (::read(wakeRead, bytes, sizeof bytes) > 0) {
  }
  // A second signal while the first is being handled (a box of the ending
  // waits for the user) does not start the ending over inside it.
  if (ending_) return;
  ending_ = true;
  end_();
  ending_ = false;
}

int EndSignals::PendingFd() { return watching ? wakeRead : -1; }

void EndSignals::EndNow() {
  if (watching) watching->End();
}

EndSignals::~EndSignals() {
  if (!notifier_) return;
  watching = nullptr;
  for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  notifier_.reset();
  ::close(wakeRead);
  ::close(wakeWrite);
  wakeRead = wakeWrite = -1;
}

}  // namespace tallow::desktop
