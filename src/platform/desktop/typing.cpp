#include "platform/desktop/typing.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>

namespace tallow::desktop {

namespace {

constexpr auto kSettle = std::chrono::milliseconds(10);

unsigned long SymOf(char32_t c) {
  if (c == '\n') return XK_Return;
  if (c == '\t') return XK_Tab;
  if ((c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c <= 0xff)) return c;
  return 0x01000000UL | c;
}

}  // namespace

std::u32string KeysOf(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    char32_t c;
    size_t len;
    if (b < 0x80) {
      c = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, len = 4;
    } else {
      ++i;  // not UTF-8: skipped
      continue;
    }
    bool valid = i + len <= utf8.size();
    for (size_t k = 1; valid && k < len; ++k) {
      unsigned char n = static_cast<unsigned char>(utf8[i + k]);
      valid = (n & 0xC0) == 0x80;
      c = (c << 6) | (n & 0x3F);
    }
    if (!valid) {
      ++i;
      continue;
    }
    i += len;
    if (c == '\r') {
      if (i < utf8.size() && utf8[i] == '\n') ++i;
      c = '\n';
    }
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7f) continue;
    out += c;
  }
  return out;
}

XTestKeyboard::XTestKeyboard() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  int event, error, major, minor;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  shiftCode_ = XKeysymToKeycode(display_, XK_Shift_L);
  worker_ = std::thread([this] { Run(); });
}

XTestKeyboard::~XTestKeyboard() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  if (display_) XCloseDisplay(display_);
}

void XTestKeyboard::Type(const std::string& text) {
  if (!display_ || text.empty()) return;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(text);
  }
  wake_.notify_one();
}

void XTestKeyboard::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return stop_ || (queue_.empty() && !busy_); });
}

void XTestKeyboard::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    if (stop_) break;
    std::string text = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    TypeKeys(KeysOf(text));
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  idle_.notify_all();
}

void XTestKeyboard::TypeKeys(const std::u32string& keys) {
  XkbStateRec state{};
  XkbGetState(display_, XkbUseCoreKbd, &state);
  capsLock_ = state.locked_mods & LockMask;
  for (char32_t c : keys) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    TypeOne(SymOf(c));
  }
  if (bound_) {  // undo the binding once the last key has been taken in
    std::this_thread::sleep_for(kSettle);
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, spare_, 2, none, 1);
    XSync(display_, False);
    bound_ = 0;
  }
}

void XTestKeyboard::TypeOne(unsigned long sym) {
  KeyCode code = XKeysymToKeycode(display_, sym);
  if (code && code != spare_) {
    const KeySym plain = XkbKeycodeToKeysym(display_, code, 0, 0);
    const KeySym shifted = XkbKeycodeToKeysym(display_, code, 0, 1);
    if (plain == sym || shifted == sym) {
      bool shift = plain != sym;
      KeySym lower, upper;
      XConvertCase(sym, &lower, &upper);
      if (capsLock_ && lower != upper) shift = !shift;  // Caps Lock turns letters over
      Tap(code, shift);
      return;
    }
  }
  // Not on the keymap at a level we can reach with Shift alone.
  if (!Spare()) return;
  if (bound_ != sym) {
    if (bound_) std::this_thread::sleep_for(kSettle);  // the previous key is taken in first
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(display_, spare_, 2, syms, 1);
    XSync(display_, False);
    bound_ = sym;
    std::this_thread::sleep_for(kSettle);
  }
  Tap(spare_, false);
}

unsigned char XTestKeyboard::Spare() {
  if (spare_) return spare_;
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(display_, &min, &max);
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(min), max - min + 1, &per);
  if (!map) return 0;
  for (int code = max; code >= min && !spare_; --code) {
    bool empty = true;
    for (int k = 0; k < per; ++k) empty = empty && map[(code - min) * per + k] == NoSymbol;
    if (empty) spare_ = static_cast<unsigned char>(code);
  }
  XFree(map);
  return spare_;
}

// Never press over, or release, a key the user holds; and wait for the user's
// Shift, Ctrl, Alt and Super, which would turn our keys into other ones.
void XTestKeyboard::WaitForRelease(unsigned char code) {
  XModifierKeymap* mods = XGetModifierMapping(display_);
  for (;;) {
    char keys[32];
    XQueryKeymap(display_, keys);
    auto down = [&](unsigned char k) { return k && ((keys[k / 8] >> (k % 8)) & 1); };
    bool held = down(code);
    for (int row = 0; row < 8 && !held; ++row) {
      if (row == LockMapIndex) continue;
      for (int k = 0; k < mods->max_keypermod && !held; ++k)
        held = down(mods->modifiermap[row * mods->max_keypermod + k]);
    }
    if (!held) break;
    {
      std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    std::this_thread::sleep_for(kSettle);
  }
  XFreeModifiermap(mods);
}

void XTestKeyboard::Tap(unsigned char code, bool shift) {
  WaitForRelease(code);
  if (shift) XTestFakeKeyEvent(display_, shiftCode_, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(display_, shiftCode_, False, CurrentTime);
  XSync(display_, False);
}

}  // namespace tallow::desktop
