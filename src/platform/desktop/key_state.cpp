#include "platform/desktop/key_state.h"

// Qt first: the X11 headers define macros (Status, Bool) that Qt's clash with.
#include <QCoreApplication>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace tallow::desktop {

unsigned long KeySymOf(int key) {
  if (key == vbKeyEscape) return XK_Escape;
  if (key >= 112 && key <= 123) return XK_F1 + static_cast<unsigned long>(key - 112);  // F1 to F12
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return static_cast<unsigned long>(key);
  return 0;
}

X11KeyState::X11KeyState() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  // Announced as 2.2: from 2.1 on the server sends raw events to us also while
  // another program holds the keyboard (an open menu does), where a 2.0
  // client hears nothing and a tap then would be lost.
  int event = 0, error = 0, major = 2, minor = 2;
  if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success) {
    xiOpcode_ = -1;
    return;
  }
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawKeyPress);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  XFlush(display_);
  // Keep the queue short while nobody asks (the poll may not have started yet).
  if (QCoreApplication::instance()) {
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
  }
}

X11KeyState::~X11KeyState() {
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

void X11KeyState::Drain() {
  if (!display_) return;
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    if (ev.xcookie.type != GenericEvent || ev.xcookie.extension != xiOpcode_) continue;
    if (!XGetEventData(display_, &ev.xcookie)) continue;
    if (ev.xcookie.evtype == XI_RawKeyPress) {
      auto* raw = static_cast<XIRawEvent*>(ev.xcookie.data);
      if (raw->detail >= 0 && raw->detail < 256) pressed_[static_cast<size_t>(raw->detail)] = true;
    }
    XFreeEventData(display_, &ev.xcookie);
  }
}

bool X11KeyState::IsKeyDown(int key) {
  const unsigned long sym = KeySymOf(key);
  if (!display_ || !sym) return false;
  const KeyCode code = XKeysymToKeycode(display_, sym);
  if (!code) return false;
  if (askedSinceRead_[code] || keymapReads_ == 0) {
    // The keymap reply comes after every event the server sent before it, so
    // a tap finished before this read is in the queue when Drain runs.
    XQueryKeymap(display_, keymap_);
    ++keymapReads_;
    askedSinceRead_.fill(false);
    Drain();
  }
  askedSinceRead_[code] = true;
  const bool down = (keymap_[code / 8] >> (code % 8)) & 1;
  const bool tapped = pressed_[code];
  pressed_[code] = false;
  return down || tapped;
}

}  // namespace tallow::desktop
