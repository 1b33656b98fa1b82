// How a call from outside (a widget signal, a timer tick, a tray activation)
// enters the window model: main wraps every such call in a dispatch of the
// program, so that windows unloaded meanwhile go only when it has returned.
#pragma once

#include <functional>
#include <vector>

namespace tallow::desktop {

class Dispatcher {
 public:
  using Call = std::function<void()>;
  // Set by main to a Program::Dispatch around the call.
  std::function<void(const Call&)> wrap = [](const Call& call) { call(); };

  void operator()(const Call& call) {
    struct Depth {
      Dispatcher& d;
      explicit Depth(Dispatcher& d) : d(d) { ++d.depth_; }
      ~Depth() {
        if (--d.depth_ == 0) d.RunDeferred();
      }
    } depth(*this);
    wrap(call);
  }

  // Runs `call` once no dispatch is running any more (at once when none is):
  // a widget of an unloaded window may have a signal of its own on the stack.
  void Defer(const Call& call) {
    if (depth_ == 0)
      call();
    else
      deferred_.push_back(call);
  }

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

}  // namespace tallow::desktop
