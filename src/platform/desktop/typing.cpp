#include "platform/desktop/typing.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <map>
#include <vector>

#include "platform/text.h"

namespace tallow::desktop {

namespace {

// How long a program takes to read a changed keymap (10 ms measured, with margin).
constexpr auto kSettle = std::chrono::milliseconds(20);
// How long spare key codes stay bound after the last key typed. A Qt program
// reads the whole keymap afresh when it comes to handle a change of it, and
// must still find our binding then, or the key types nothing. Measured under
// Xvfb on a loaded machine (one key bound, typed, given back, 100 times over):
// given back at once, 1 key in 100 was lost; after 5 ms or more, none. A
// program further behind than this may lose the last characters; a keymap
// left changed for long is worse (a kill that cannot be caught leaves it so).
constexpr auto kKeepBindings = std::chrono::milliseconds(100);

unsigned long SymOf(char32_t c) {
  if (c == '\n') return XK_Return;
  if (c == '\t') return XK_Tab;
  if ((c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c <= 0xff)) return c;
  return 0x01000000UL | c;
}

}  // namespace

XTestKeyboard::XTestKeyboard() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  int event, error, major, minor;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  worker_ = std::thread([this] { Run(); });
}

XTestKeyboard::~XTestKeyboard() {
  Stop();
  if (display_) XCloseDisplay(display_);
}

void XTestKeyboard::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();  // it gives the key codes back on its way out
}

void XTestKeyboard::Type(const std::string& text) {
  if (!display_ || text.empty()) return;
  {
    std::lock_guard lock(mutex_);
    if (stop_) return;
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
  auto ready = [this] { return stop_ || !queue_.empty(); };
  for (;;) {
    if (bound_.empty()) {
      wake_.wait(lock, ready);
    } else if (!wake_.wait_until(lock, ReleaseTime(), ready)) {
      lock.unlock();
      Unbind();  // nothing typed for a while: give the key codes back
      lock.lock();
      continue;
    }
    if (stop_) break;
    std::string text = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    TypeKeys(tallow::text::ForTyping(text));
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
  idle_.notify_all();
  lock.unlock();
  if (!bound_.empty()) std::this_thread::sleep_until(ReleaseTime());
  Unbind();
}

std::chrono::steady_clock::time_point XTestKeyboard::ReleaseTime() const { return lastKey_ + kKeepBindings; }

void XTestKeyboard::Unbind() {
  int per = 0;
  for (auto& [sym, code] : bound_) {
    // Only what is still ours: the keymap may have been replaced meanwhile.
    KeySym* now = XGetKeyboardMapping(display_, code, 1, &per);
    const bool ours = now && per > 0 && now[0] == sym;
    if (now) XFree(now);
    if (!ours) continue;
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, code, 2, none, 1);
  }
  XSync(display_, False);
  bound_.clear();
}

void XTestKeyboard::TypeKeys(const std::u32string& keys) {
  // The keymap as it is now (the user may have switched layouts since the
  // last text): where each symbol sits, Shift or not, and which key codes
  // are free. Characters bound for an earlier text are found like any other.
  std::map<unsigned long, std::pair<unsigned char, bool>> reach;  // symbol: key code, Shift
  std::vector<unsigned char> spares;
  auto readKeymap = [&] {
    reach.clear();
    spares.clear();
    int min = 0, max = 0, per = 0;
    XDisplayKeycodes(display_, &min, &max);
    KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(min), max - min + 1, &per);
    if (!map) return;
    for (int level = 0; level < 2 && level < per; ++level)
      for (int code = min; code <= max; ++code) {
        KeySym sym = map[(code - min) * per + level];
        if (sym != NoSymbol) reach.emplace(sym, std::make_pair(static_cast<unsigned char>(code), level == 1));
      }
    for (int code = max; code >= min; --code) {
      bool empty = true;
      for (int k = 0; k < per; ++k) empty = empty && map[(code - min) * per + k] == NoSymbol;
      if (empty) spares.push_back(static_cast<unsigned char>(code));
    }
    XFree(map);
  };
  readKeymap();
  shiftCode_ = reach.count(XK_Shift_L) ? reach[XK_Shift_L].first : 0;
  XkbStateRec state{};
  XkbGetState(display_, XkbUseCoreKbd, &state);
  const bool capsLock = state.locked_mods & LockMask;
  modifiers_.clear();
  if (XModifierKeymap* mods = XGetModifierMapping(display_)) {
    for (int row = 0; row < 8; ++row)
      for (int k = 0; row != LockMapIndex && k < mods->max_keypermod; ++k)
        if (KeyCode code = mods->modifiermap[row * mods->max_keypermod + k]) modifiers_.push_back(code);
    XFreeModifiermap(mods);
  }

  // Characters missing from the keymap get spare key codes, all of a stretch
  // of text bound before it is typed, and kept until kKeepBindings after the
  // last key: a program reads the new keymap only when it comes to handle the
  // change, and then it must still find every character waiting in its queue.
  for (size_t from = 0; from < keys.size();) {
    std::map<unsigned long, unsigned char> fresh;
    size_t to = from;
    for (; to < keys.size(); ++to) {
      const unsigned long sym = SymOf(keys[to]);
      if (reach.count(sym) || fresh.count(sym)) continue;
      if (fresh.size() == spares.size()) break;
      fresh[sym] = spares[fresh.size()];
    }
    for (auto& [sym, code] : fresh) {
      KeySym syms[2] = {sym, sym};
      XChangeKeyboardMapping(display_, code, 2, syms, 1);
      reach[sym] = {code, false};
      bound_[sym] = code;
    }
    if (!fresh.empty()) {
      XSync(display_, False);
      std::this_thread::sleep_for(kSettle);
    }
    for (size_t k = from; k < to; ++k) {
      {
        std::lock_guard lock(mutex_);
        if (stop_) return;
      }
      const unsigned long sym = SymOf(keys[k]);
      auto it = reach.find(sym);
      if (it == reach.end()) continue;
      bool shift = it->second.second;
      KeySym lower, upper;
      XConvertCase(sym, &lower, &upper);
      if (capsLock && lower != upper) shift = !shift;  // Caps Lock turns letters over
      Tap(it->second.first, shift);
    }
    if (to < keys.size()) {
      // Out of spare key codes: the receiver must be done with these before
      // they are given other characters.
      if (bound_.empty()) {
        ++to;  // no spare key code at all: the character is left out
      } else {
        std::this_thread::sleep_until(ReleaseTime());
        Unbind();
        readKeymap();
      }
    }
    from = to;
  }
}

// Never press over, or release, a key the user holds; and wait for the user's
// Shift, Ctrl, Alt and Super, which would turn our keys into other ones.
void XTestKeyboard::WaitForRelease(unsigned char code) {
  for (;;) {
    char keys[32];
    XQueryKeymap(display_, keys);
    auto down = [&](unsigned char k) { return (keys[k / 8] >> (k % 8)) & 1; };
    bool held = down(code);
    for (unsigned char modifier : modifiers_) held = held || down(modifier);
    if (!held) break;
    {
      std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    std::this_thread::sleep_for(kSettle);
  }
}

void XTestKeyboard::Tap(unsigned char code, bool shift) {
  WaitForRelease(code);
  if (shift) XTestFakeKeyEvent(display_, shiftCode_, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(display_, shiftCode_, False, CurrentTime);
  XSync(display_, False);
  lastKey_ = std::chrono::steady_clock::now();
}

}  // namespace tallow::desktop
