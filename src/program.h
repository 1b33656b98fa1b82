// The program: the single instance of every window, the program-wide texts
// and the services. Reaching a window that is not loaded creates it and runs
// its load first.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"
#include "window.h"

#include "desk/add_address.h"
#include "desk/add_address2.h"
#include "desk/add_book.h"
#include "desk/form1.h"
#include "desk/form1a.h"
#include "desk/form3.h"
#include "desk/setting_man.h"
#include "shell/frm_sys_tray.h"
#include "shell/help_menu.h"
#include "shell/shift.h"
#include "shell/tutorial.h"
#include "shell/welcome.h"
#include "utilities/quick_notes.h"
#include "utilities/top_pad.h"
#include "utilities/utility_browser.h"

namespace tallow {

class Program;

class SlotBase {
 public:
  explicit SlotBase(Program& app);
  virtual ~SlotBase();
  SlotBase(const SlotBase&) = delete;
  SlotBase& operator=(const SlotBase&) = delete;
  // The loaded instance, or nullptr: looking does not load it.
  Form* get() const { return form_.get(); }
  bool IsLoaded() const { return form_ != nullptr; }

 protected:
  // Attaches the new window to the desktop, runs its load, starts its timers.
  Form& LoadWith(std::unique_ptr<Form> fresh);
  Program& app_;
  std::unique_ptr<Form> form_;
  friend class Program;
};

template <class W>
class WindowSlot : public SlotBase {
 public:
  using SlotBase::SlotBase;
  // Touching the window: loads it when it is not loaded.
  W& operator()() {
    if (form_) return static_cast<W&>(*form_);
    return static_cast<W&>(LoadWith(std::make_unique<W>(app_)));
  }
  W* get() const { return static_cast<W*>(form_.get()); }
};

class Program : public Host {
  // First: the window slots below register here and unregister when they go.
  Services services_;
  std::vector<SlotBase*> slots_;
  std::vector<std::unique_ptr<Form>> retired_;
  int depth_ = 0;

 public:
  explicit Program(Services services);
  ~Program() override;

  Services& Svc() override { return services_; }
  Services& svc() { return services_; }
  void UnloadForm(Form& form, int unloadMode) override;

  // Program-wide texts, set once by start-up.
  std::string SiteURL;
  std::string AppTitle;
  std::string MailFooter;

  // The windows, each a single instance.
  WindowSlot<shell::Shift> Shift{*this};
  WindowSlot<shell::ToolbarShift> ToolbarShift{*this};
  WindowSlot<shell::FrmSysTray> FrmSysTray{*this};
  WindowSlot<shell::Welcome> Welcome{*this};
  WindowSlot<shell::Tutorial> Tutorial{*this};
  WindowSlot<shell::HelpMenu> HelpMenu{*this};
  WindowSlot<desk::Form1> Form1{*this};
  WindowSlot<desk::Form1a> Form1a{*this};
  WindowSlot<desk::Form3> Form3{*this};
  WindowSlot<desk::SettingMan> SettingMan{*this};
  WindowSlot<desk::AddAddress> AddAddress{*this};
  WindowSlot<desk::AddAddress2> AddAddress2{*this};
  WindowSlot<desk::AddBook> AddBook{*this};
  WindowSlot<utilities::UtilityBrowser> UtilityBrowser{*this};
  WindowSlot<utilities::TopPad> TopPad{*this};
  WindowSlot<utilities::QuickNotes> QuickNotes{*this};

  // Start-up: creates the start-up window, whose load does the rest.
  void Start();

  // Ends the program at once, as "&Exit" does: no window's unload runs and
  // nothing else is written. Whatever must be saved before the process goes
  // is saved here, and only here: an open note window's text, as its close
  // would save it. When that fails the user is told and the program goes on.
  void End();

  // The loaded windows, in the order of the slots above.
  std::vector<Form*> LoadedForms() const;

  // A modal message box through the message-box service.
  int MsgBox(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title);

  // Every call into the windows from outside (a user action, a timer tick, a
  // tray message) runs inside a Dispatch. Windows unloaded meanwhile are
  // destroyed when the outermost Dispatch ends, never while a handler of
  // theirs may still be running.
  class Dispatch {
   public:
    explicit Dispatch(Program& app) : app_(app) { ++app_.depth_; }
    ~Dispatch() {
      if (--app_.depth_ == 0) app_.Collect();
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

   private:
    Program& app_;
  };

  // Destroys the windows unloaded since the last call (outside any handler).
  void Collect();

 private:
  friend class SlotBase;
};

}  // namespace tallow
