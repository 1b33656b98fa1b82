// How a call from outside (a widget signal, a timer tick, a tray message,
// start-up, a signal) enters the windows: through the one Dispatcher, which
// the desktop and the program share. Work that must not happen while a
// handler may still be on the stack waits until the outermost call has
// returned: a window often unloads itself from its own handler, and a widget
// of an unloaded window may have a signal of its own running.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace tallow {

class Dispatcher {
 public:
  using Call = std::function<void()>;

  // Runs `call`; the outermost call then runs the work deferred meanwhile.
  void operator()(const Call& call) {
    struct Depth {
      Dispatcher& d;
      explicit Depth(Dispatcher& d) : d(d) { ++d.depth_; }
      ~Depth() {
        if (--d.depth_ == 0) d.RunDeferred();
      }
    } depth(*this);
    call();
  }

  // Runs `work` once the outermost call has returned; at once when no call
  // is running.
  void Defer(Call work) {
    if (depth_ == 0)
      work();
    else
      deferred_.push_back(std::move(work));
  }

  bool Running() const { return depth_ > 0; }

 private:
  void RunDeferred() {
    while (!deferred_.empty()) {
      auto calls = std::move(deferred_);
      deferred_.clear();
      for (auto& call : calls) call();
    }
  }
  int depth_ = 0;
  std::vector<Call> deferred_;
};

}  // namespace tallow
