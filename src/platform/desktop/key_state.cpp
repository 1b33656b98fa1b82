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
  codes_.fill(-1);
  asked_.set();  // the first question starts a poll
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  // Announced as 2.2: from 2.1 on the server sends raw events to us also while
  // another program holds the keyboard (an open menu does), where a 2.0
  // client hears nothing and a tap or a release then would be lost.
  int event = 0, error = 0, major = 2, minor = 2;
  if (!XQueryExtension(display_, "XInputExtension", &xiOpcode_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success) {
    xiOpcode_ = -1;
    return;
  }
  tracking_ = major > 2 || minor >= 1;
  unsigned char keys[XIMaskLen(XI_LASTEVENT)] = {};
  unsigned char devices[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(keys, XI_RawKeyPress);
  if (tracking_) {
    XISetMask(keys, XI_RawKeyRelease);
    XISetMask(keys, XI_DeviceChanged);
    XISetMask(devices, XI_HierarchyChanged);  // the server takes it for all devices only
  }
  XIEventMask masks[] = {{XIAllMasterDevices, sizeof keys, keys}, {XIAllDevices, sizeof devices, devices}};
  XISelectEvents(display_, DefaultRootWindow(display_), masks, tracking_ ? 2 : 1);
  // Read after the selection: from here on no change of a key goes unheard.
  Drain();
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

void X11KeyState::TakeEvents() {
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    if (ev.xcookie.type != GenericEvent || ev.xcookie.extension != xiOpcode_) continue;
    if (!XGetEventData(display_, &ev.xcookie)) continue;
    const int type = ev.xcookie.evtype;
    if (type == XI_RawKeyPress || type == XI_RawKeyRelease) {
      const int code = static_cast<XIRawEvent*>(ev.xcookie.data)->detail;
      if (code >= 0 && code < 256) {
        down_[static_cast<size_t>(code)] = type == XI_RawKeyPress;
        if (type == XI_RawKeyPress) pressed_[static_cast<size_t>(code)] = true;
      }
    } else if (type == XI_HierarchyChanged || type == XI_DeviceChanged) {
      stale_ = true;
    }
    XFreeEventData(display_, &ev.xcookie);
  }
}

void X11KeyState::Drain() {
  if (!display_) return;
  TakeEvents();
  if (!stale_) return;
  // The reply comes after every event the server sent before it, so the
  // events that arrive with it are later than the keymap or already in it:
  // taken in order over it, they leave each key as it is now.
  char keymap[32];
  XQueryKeymap(display_, keymap);
  ++keymapReads_;
  stale_ = false;
  for (size_t code = 0; code < down_.size(); ++code) down_[code] = (keymap[code / 8] >> (code % 8)) & 1;
  TakeEvents();
}

bool X11KeyState::IsKeyDown(int key) {
  if (!display_ || key < 0 || key >= static_cast<int>(codes_.size())) return false;
  // Xlib keeps the keyboard mapping it read first (this connection is told of
  // no change), so each key's code is looked up once.
  int& code = codes_[static_cast<size_t>(key)];
  if (code < 0) code = KeySymOf(key) ? XKeysymToKeycode(display_, KeySymOf(key)) : 0;
  if (!code) return false;
  // A key asked again starts a new poll. Without the releases a poll reads
  // the keymap; without Qt's event loop, which takes the events in as they
  // come, it takes them in itself.
  const auto at = static_cast<size_t>(code);
  if (asked_[at]) {
    asked_.reset();
    if (!tracking_) stale_ = true;
    if (stale_ || !notifier_) Drain();
  }
  asked_[at] = true;
  const bool tapped = pressed_[at];
  pressed_[at] = false;
  return down_[at] || tapped;
}

}  // namespace tallow::desktop
