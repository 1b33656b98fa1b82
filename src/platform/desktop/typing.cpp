#include "platform/desktop/typing.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
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
// must still find our binding then, or the key types nothing: so a receiver
// that is behind with its events by more than this loses the characters.
// Measured under Xvfb, 16 sanitizer-built Qt receivers at once: 9 texts in 64
// lost them with 100 ms, none with 1 s. Longer costs little (the spare key
// codes are on no key of the keyboard); a kill that cannot be caught leaves
// them bound.
constexpr auto kKeepBindings = std::chrono::milliseconds(1000);

// The key symbol a spare key code is bound to for a character.
unsigned long SymOf(char32_t c) {
  if (c == '\n') return XK_Return;
  if (c == '\t') return XK_Tab;
  if ((c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c <= 0xff)) return c;
  return 0x01000000UL | c;
}

// The key that types a character: its code, with Shift or not, and the group
// it is typed in (kAnyGroup: whichever is active).
constexpr int kAnyGroup = -1;
struct Key {
  unsigned char code;
  bool shift;
  int group;
};

// The character a key symbol of the keymap types, 0 for none we use. The
// keypad is left out: programs may take its keys for something else than text.
char32_t CharOf(KeySym sym) {
  if (sym == XK_Return) return '\n';
  if (sym == XK_Linefeed || IsKeypadKey(sym)) return 0;
  return xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(sym));
}

// The level of a key of this type with these modifiers in effect.
int LevelOf(const XkbKeyTypeRec& type, unsigned mods) {
  mods &= type.mods.mask;
  for (int i = 0; i < type.map_count; ++i)
    if (type.map[i].active && type.map[i].mods.mask == mods) return type.map[i].level;
  return 0;
}

// The group of its own a key shows while `group` is the active one: a key
// with fewer groups (most have one) brings it into range as the keymap says.
int GroupOf(XkbDescPtr xkb, int code, int group) {
  const int groups = XkbKeyNumGroups(xkb, code);
  if (group < groups) return group;
  const unsigned info = XkbKeyGroupInfo(xkb, code);
  if (XkbOutOfRangeGroupAction(info) == XkbClampIntoRange) return groups - 1;
  if (XkbOutOfRangeGroupAction(info) == XkbRedirectIntoRange) {
    const int redirect = XkbOutOfRangeGroupNumber(info);
    return redirect < groups ? redirect : 0;
  }
  return group % groups;
}

}  // namespace

XTestKeyboard::XTestKeyboard() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) return;
  int event, error, major, minor, opcode;
  // XKB tells where each character is and what the locks and layout are.
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor) ||
      !XkbQueryExtension(display_, &opcode, &event, &error, &major, &minor)) {
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
    GiveLocksBack();
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
  // The locks as the user left them. Caps Lock and Shift Lock would turn our
  // keys over in the receiver (the characters on spare key codes too), so
  // they are off while we type and given back afterwards; so is every other
  // lock but Num Lock, which only the keypad heeds. A latched modifier (sticky
  // keys) would change our first key, which would use it up: it is dropped.
  // The user's layout (group) stays the active one: a character it lacks is
  // typed in a layout that has it.
  XkbStateRec state{};
  XkbGetState(display_, XkbUseCoreKbd, &state);
  const unsigned kept = state.locked_mods & XkbKeysymToModifiers(display_, XK_Num_Lock);
  unlocked_ = state.locked_mods & ~kept;
  userGroup_ = group_ = state.locked_group;
  if (unlocked_) XkbLockModifiers(display_, XkbUseCoreKbd, unlocked_, 0);
  if (state.latched_mods) XkbLatchModifiers(display_, XkbUseCoreKbd, state.latched_mods, 0);
  if (state.latched_group) XkbLatchGroup(display_, XkbUseCoreKbd, 0);

  // The keymap as it is now (the user may have changed it since the last
  // text): the key of each character, the active group's first, and which
  // key codes are free. Characters bound for an earlier text are found like
  // any other.
  std::map<char32_t, Key> reach;
  std::vector<unsigned char> spares;
  auto readKeymap = [&] {
    reach.clear();
    spares.clear();
    XkbDescPtr xkb = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return;
    const int min = xkb->min_key_code, max = xkb->max_key_code;
    int groups = userGroup_ + 1;
    for (int code = min; code <= max; ++code) groups = std::max(groups, int{XkbKeyNumGroups(xkb, code)});
    for (int pass = 0; pass < groups; ++pass) {
      const int group = (userGroup_ + pass) % groups;
      for (bool shift : {false, true})
        for (int code = min; code <= max; ++code) {
          if (XkbKeyNumGroups(xkb, code) == 0) continue;
          const int own = GroupOf(xkb, code, group);
          const XkbKeyTypeRec& type = *XkbKeyKeyType(xkb, code, own);
          const int level = LevelOf(type, kept | (shift ? ShiftMask : 0));
          if (shift && level == LevelOf(type, kept)) continue;
          if (char32_t c = CharOf(XkbKeySymEntry(xkb, code, level, own)))
            reach.emplace(c, Key{static_cast<unsigned char>(code), shift, group});
        }
    }
    for (int code = max; code >= min; --code) {
      const KeySym* syms = XkbKeySymsPtr(xkb, code);
      if (std::all_of(syms, syms + XkbKeyNumSyms(xkb, code), [](KeySym sym) { return sym == NoSymbol; }))
        spares.push_back(static_cast<unsigned char>(code));
    }
    XkbFreeKeyboard(xkb, 0, True);
  };
  readKeymap();
  shiftCode_ = XKeysymToKeycode(display_, XK_Shift_L);
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
    std::map<char32_t, unsigned char> fresh;
    size_t to = from;
    for (; to < keys.size(); ++to) {
      if (reach.count(keys[to]) || fresh.count(keys[to])) continue;
      if (fresh.size() == spares.size()) break;
      fresh[keys[to]] = spares[fresh.size()];
    }
    for (auto& [c, code] : fresh) {
      const unsigned long sym = SymOf(c);
      KeySym syms[2] = {sym, sym};
      XChangeKeyboardMapping(display_, code, 2, syms, 1);
      reach[c] = {code, false, kAnyGroup};  // a key of one group shows it in every group
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
      auto it = reach.find(keys[k]);
      if (it == reach.end()) continue;
      const Key& key = it->second;
      if (key.group != kAnyGroup && key.group != group_) {
        XkbLockGroup(display_, XkbUseCoreKbd, key.group);
        group_ = key.group;
      }
      Tap(key.code, key.shift);
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

void XTestKeyboard::GiveLocksBack() {
  if (group_ != userGroup_) XkbLockGroup(display_, XkbUseCoreKbd, userGroup_);
  if (unlocked_) XkbLockModifiers(display_, XkbUseCoreKbd, unlocked_, unlocked_);
  group_ = userGroup_;
  unlocked_ = 0;
  XSync(display_, False);
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
