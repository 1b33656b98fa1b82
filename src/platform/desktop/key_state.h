// Whether a key is down, in any application. The keymap is polled; a press
// that began and ended between two queries of a key (a quick tap lasts a few
// milliseconds) is remembered from XInput2's raw key events, which every
// client sees whichever window has the focus, without taking the key away.
//
// A poll asks each of its keys once, one after the other: the keymap is read
// for the first key of a poll and serves the others, until a key is asked
// again. So a poll costs one round trip to the X server, not one a key.
#pragma once

#include <array>
#include <memory>

#include "platform/services.h"

typedef struct _XDisplay Display;
class QSocketNotifier;

namespace tallow::desktop {

// The X keysym of one of the program's key numbers; 0 for a number we do not map.
unsigned long KeySymOf(int key);

class X11KeyState : public KeyState {
 public:
  // Opens its own connection to the display ($DISPLAY); without one, no key is ever down.
  X11KeyState();
  ~X11KeyState() override;
  X11KeyState(const X11KeyState&) = delete;
  X11KeyState& operator=(const X11KeyState&) = delete;

  bool IsKeyDown(int key) override;
  bool Connected() const { return display_ != nullptr; }
  bool SeesTaps() const { return xiOpcode_ >= 0; }
  // Takes in the raw key events waiting on the connection.
  void Drain();
  // How often the keymap has been read from the server.
  long KeymapReads() const { return keymapReads_; }

 private:
  Display* display_ = nullptr;
  char keymap_[32] = {};
  std::array<bool, 256> askedSinceRead_{};  // keys answered from the keymap now held
  long keymapReads_ = 0;
  int xiOpcode_ = -1;
  std::array<bool, 256> pressed_{};  // a press seen since the last query of that key
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tallow::desktop
