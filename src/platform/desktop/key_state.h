// Whether a key is down, in any application. Each key's state is kept in the
// process from XInput2's raw key presses and releases, which every client
// sees whichever window has the focus, without taking the key away; a press
// that began and ended between two queries of a key (a quick tap lasts a few
// milliseconds) is remembered until the key is asked. So a poll sends nothing
// to the X server.
//
// The keymap is read only to set the state anew: at start, and after a device
// was added, removed, enabled, disabled or changed, as a device that goes
// may take its held keys along without a release. (The X server sends a
// client every event or drops the connection; it never leaves one out.)
// Without raw releases that come during another program's grab (XInput2
// before 2.1, or none at all) the keymap is read at each poll instead: a
// poll asks each of its keys once, so a key asked again starts a new poll.
#pragma once

#include <array>
#include <bitset>
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
  // Takes in the events waiting on the connection, and reads the keymap when
  // the state must be set anew.
  void Drain();
  // How often the keymap has been read from the server.
  long KeymapReads() const { return keymapReads_; }

 private:
  void TakeEvents();

  Display* display_ = nullptr;
  int xiOpcode_ = -1;
  bool tracking_ = false;  // every press and release arrives, so the state is ours to keep
  bool stale_ = true;      // the keymap must be read before the state is trusted
  long keymapReads_ = 0;
  std::bitset<256> down_;
  std::bitset<256> pressed_;    // a press seen since the last query of that key
  std::bitset<256> asked_;      // keys asked in this poll
  std::array<int, 256> codes_;  // by key number; -1 until looked up
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tallow::desktop
