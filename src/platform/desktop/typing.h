// Types text into whatever window has the keyboard focus, in any application,
// with XTest key events: exactly the text, whatever is locked (Caps Lock,
// Shift Lock) and whichever layout (keyboard group) is active. Those locks are
// off while it types, and the user's locks and group are given back after
// each text.
//
// Typing runs on a worker thread with its own display connection: a
// character missing from the keymap needs a spare key code bound to it and
// about 10 ms for the receiving program to take the new binding in, and the
// typing waits for the user to let go of Shift, Ctrl, Alt and Super. Neither
// wait may hold up the event loop (the hot-key poll and every window run
// there). Texts are typed one after the other, in the order given.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/services.h"

typedef struct _XDisplay Display;

namespace tallow::desktop {

class XTestKeyboard : public Keyboard {
 public:
  XTestKeyboard();  // connects to $DISPLAY; without one, typing does nothing
  ~XTestKeyboard() override;
  XTestKeyboard(const XTestKeyboard&) = delete;
  XTestKeyboard& operator=(const XTestKeyboard&) = delete;

  // Types text::ForTyping of the text.
  void Type(const std::string& text) override;
  bool Connected() const { return display_ != nullptr; }
  // Until everything given so far has been typed.
  void WaitIdle();
  // Stops typing at once, drops what is still to type, and gives every spare
  // key code back before it returns (once the receiver has had the time it
  // needs for the last key): the program is about to end. Nothing is typed
  // afterwards.
  void Stop();

 private:
  void Run();
  void TypeKeys(const std::u32string& keys);
  // The locks and the layout group TypeKeys changed, as the user had them.
  void GiveLocksBack();
  void Unbind();
  void WaitForRelease(unsigned char code);
  void Tap(unsigned char code, bool shift);
  // When the spare key codes may be given back: the receiver has had the
  // time it needs for the last key typed.
  std::chrono::steady_clock::time_point ReleaseTime() const;

  Display* display_ = nullptr;
  unsigned char shiftCode_ = 0;
  std::map<unsigned long, unsigned char> bound_;   // spare key codes we gave a symbol
  std::vector<unsigned char> modifiers_;           // the key codes of Shift, Ctrl, Alt, Super and the like
  std::chrono::steady_clock::time_point lastKey_;  // when the last key was typed (worker only)
  unsigned unlocked_ = 0;                          // the user's locked modifiers we took off
  int userGroup_ = 0, group_ = 0;                  // the user's locked group, and the one locked now

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<std::string> queue_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace tallow::desktop
