// The services the windows stand on. Each has a desktop implementation
// (platform/desktop/) and a test double (tests/support/).
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace tallow {

class Dispatcher;
class Form;
class Timer;

// ---- message boxes -------------------------------------------------------
enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Information, Critical };
// The answers, numbered as the windows compare them.
constexpr int vbOK = 1;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal; returns vbOK, vbYes or vbNo.
  virtual int Show(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title) = 0;
};

// ---- clipboard (plain text) ----------------------------------------------
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // False when the clipboard cannot be read; `text` is empty when it holds no text.
  virtual bool GetText(std::string& text) = 0;
  virtual bool Clear() = 0;
  virtual bool SetText(const std::string& text) = 0;
};

// ---- keys ----------------------------------------------------------------
// Key numbers as the windows use them.
constexpr int vbKeyEscape = 27;
constexpr int vbKeyF8 = 119;
constexpr int vbKeyF9 = 120;
constexpr int vbKeyF10 = 121;
constexpr int vbKeyF12 = 123;

class KeyState {
 public:
  virtual ~KeyState() = default;
  // True while the key is held down now, in any application.
  virtual bool IsKeyDown(int key) = 0;
};

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // Types the text into whatever window has the keyboard focus; does not wait.
  virtual void Type(const std::string& text) = 0;
};

// ---- notification area ---------------------------------------------------
enum class NotifyMessage { Add = 0, Modify = 1, Delete = 2 };

// Our own icon record: what the tray window hands to the notification area.
struct IconRecord {
  int cbSize = 88;
  Form* hWnd = nullptr;  // the window that receives the mouse messages
  int uID = 0;
  int uFlags = 0;            // 1 message, 2 icon, 4 tip
  int uCallbackMessage = 0;  // 0x200
  std::string hIcon;         // the picture: an asset name, or a loaded picture's name
  std::string szTip;         // 64 characters: text, NUL, blanks
};

class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  // Mouse activity on the icon comes back as hWnd->Form_MouseMove(0, 0, x, 0),
  // x being the mouse message number times ScreenTwipsPerPixelX.
  virtual bool Notify(NotifyMessage message, const IconRecord& record) = 0;
};

// ---- mail clients --------------------------------------------------------
// Any failure of a mail client; what() is the reason in plain words.
class MailError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MailItem {
 public:
  virtual ~MailItem() = default;
  virtual void SetSubject(const std::string& subject) = 0;
  virtual void SetTo(const std::string& to) = 0;
  virtual void SetBody(const std::string& body) = 0;
  virtual void Send() = 0;  // throws MailError
};

class MailApplication {
 public:
  virtual ~MailApplication() = default;
  virtual std::unique_ptr<MailItem> CreateItem(short itemType) = 0;  // throws MailError
};

// The automation road: objects created by program identifier.
class MailAutomation {
 public:
  virtual ~MailAutomation() = default;
  virtual std::unique_ptr<MailApplication> CreateObject(const std::string& progId) = 0;  // throws MailError
};

// The Simple MAPI road: the members of the session and messages controls, in
// the order the send calls them. Every member may throw MailError.
class SimpleMapi {
 public:
  virtual ~SimpleMapi() = default;
  virtual void SignOn() = 0;
  virtual void SetDownLoadMail(bool value) = 0;
  virtual long SessionID() = 0;
  virtual void SetMessagesSessionID(long id) = 0;
  virtual void Compose() = 0;
  virtual void SetRecipAddress(const std::string& address) = 0;
  virtual void ResolveName() = 0;
  virtual void SetMsgSubject(const std::string& subject) = 0;
  virtual void SetMsgNoteText(const std::string& text) = 0;
  virtual void Send(bool dialog) = 0;
  virtual void SignOff() = 0;
};

// ---- event loop ----------------------------------------------------------
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // The timer started, stopped or changed its interval: (re)start it from
  // now when timer.Running(), else stop it.
  virtual void TimerChanged(Timer& timer) = 0;
  // The timer is being destroyed.
  virtual void TimerGone(Timer& timer) = 0;
  // One pass of the event pump: pending events are handled.
  virtual void DoEvents() = 0;
  // Ends the process at once: no window's unload runs.
  virtual void EndProcess() = 0;
};

// ---- environment ---------------------------------------------------------
class Environment {
 public:
  virtual ~Environment() = default;
  virtual std::string ProgramFolder() = 0;  // the executable's folder, no closing "/"
  virtual std::string ExeName() = 0;        // file name without its extension
  virtual std::string CurrentDirectory() = 0;
};

// ---- window system -------------------------------------------------------
// Draws the windows of the model. A window is attached right after it is
// created (before its load runs) and detached when it unloads.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual void Attach(Form& form) = 0;
  virtual void Detach(Form& form) = 0;
  // Loads the picture of a file: the name a window's icon or a picture
  // control then shows it by, or "" when the file holds no picture.
  virtual std::string LoadPicture(const std::string& path) = 0;
};

struct Services {
  MessageBoxes& messages;
  Clipboard& clipboard;
  KeyState& keys;
  Keyboard& keyboard;
  NotifyArea& tray;
  MailAutomation& automation;
  SimpleMapi& mapi;
  EventLoop& loop;
  Environment& env;
  WindowSystem& windows;
  // Not a service of its own: the way in from outside, which the desktop
  // and the program share (platform/dispatch.h).
  Dispatcher& dispatch;
};

}  // namespace tallow
