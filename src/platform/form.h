// The window model: a window (Form) and its controls. Plain objects that hold
// their state and raise their events at once, nested inside the code that
// changed them; the desktop draws them through a View.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tallow {

class Control;
class Form;
class FormRef;
class Menu;

// The desktop's side of one window or control.
class View {
 public:
  virtual ~View() = default;
  virtual void Changed() = 0;  // the model changed: show its state again
  // A list's items changed: `removed` items went from `first` on, and
  // `added` items of the list stand there now. Only those items changed; a
  // change of selection comes through Changed().
  virtual void ItemsChanged(int /*first*/, int /*removed*/, int /*added*/) { Changed(); }
  virtual void Focus() {}       // give the keyboard focus to it
  virtual void Raise() {}       // bring a window to the front
  virtual void Popup(Menu&) {}  // pop a window's menu up at the pointer
};

// What a window needs of the program that owns it.
class Host {
 public:
  virtual ~Host() = default;
  virtual Services& Svc() = 0;
  // Runs the window's unload handlers and, unless cancelled, retires it.
  // unloadMode 0: closed from the title bar; 1: by code.
  virtual void UnloadForm(Form& form, int unloadMode) = 0;
};

struct Geometry {
  int left = 0, top = 0, width = 0, height = 0;
};

constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;

class Form {
 public:
  Form(Host& host, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  Host& host() const { return host_; }
  Services& svc() const { return host_.Svc(); }

  // ---- design (set in the window's constructor) ----
  Geometry geometry;                  // client area, pixels
  std::optional<unsigned> backColor;  // 0xRRGGBB; nullopt: the system's
  std::string icon;                   // asset name of the window's icon
  bool centred = false;               // centred on the screen when first shown
  bool sizable = false;
  bool borderless = false;

  // ---- run time ----
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Visible() const { return visible_; }
  void Show();  // modeless, no owner; brings it to the front
  void Hide();
  int WindowState() const { return windowState_; }
  void SetWindowState(int state);  // raises Form_Resize when it changes
  bool TopMost() const { return topMost_; }
  void SetTopMost(bool on);
  void Unload() { host_.UnloadForm(*this, 1); }
  void PopupMenu(Menu& menu);

  // Loaded: from the end of its load until it unloads. Timers run only then.
  bool IsLoaded() const { return loaded_; }
  void SetLoaded(bool loaded);  // called by the program only
  // Raises Form_Unload and then, unless cancelled, the Unload of every
  // reference that receives this window's events (called by the program).
  void RaiseUnload(int& cancel);

  const std::vector<Control*>& Controls() const { return controls_; }

  // ---- events ----
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}
  virtual void Form_Unload(int& /*cancel*/) {}
  virtual void Form_Resize() {}
  // Mouse activity; the notification area reports its mouse message numbers
  // through x, in twips (the number times ScreenTwipsPerPixelX).
  virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}

  View* view = nullptr;

 private:
  friend class Control;
  friend class FormRef;
  void Changed();

  Host& host_;
  std::string name_;
  std::string caption_;
  bool visible_ = false;
  int windowState_ = vbNormal;
  bool topMost_ = false;
  bool loaded_ = false;
  std::vector<Control*> controls_;
  std::vector<FormRef*> refs_;
};

// A reference to a window through which another window receives the
// window's resize and unload events, after the window's own handlers. It
// lets go of the window when the window is destroyed.
class FormRef {
 public:
  FormRef() = default;
  ~FormRef();
  FormRef(const FormRef&) = delete;
  FormRef& operator=(const FormRef&) = delete;
  FormRef& operator=(Form* form);
  Form* get() const { return form_; }
  Form* operator->() const { return form_; }
  Form& operator*() const { return *form_; }
  explicit operator bool() const { return form_ != nullptr; }

  std::function<void()> Resize;
  std::function<void(int& cancel)> Unload;

 private:
  friend class Form;
  Form* form_ = nullptr;
};

constexpr int ScreenTwipsPerPixelX = 15;

// Makes the window always on top, keeping its position and size.
void MakeTopmost(Form& form);

}  // namespace tallow
