// The tray icon window: never seen; owns the program's icon in the
// notification area, flashes it, decodes the mouse messages on it, pops up
// the tray menu and brings back the host window on a double-click.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>

#include "window.h"

namespace tallow::shell {

// What TrayIcon takes: a picture control, a text ("default", or the path of a
// picture file), a window (its icon), or a number, which has no picture.
using TrayIconValue = std::variant<const Image*, std::string, const Form*, double>;

// The tip field: the text, a NUL, blanks up to 64 characters. A text of 64
// characters or more is cut to 63, so that the NUL always ends the tip.
std::string TipField(const std::string& text);

// The text of the Click event for a mouse message number.
std::string MouseMessageName(long number);

class FrmSysTray : public Window {
 public:
  explicit FrmSysTray(Program& app);

  PictureBox Flash2;  // picture A, also the default of TrayIcon
  PictureBox Flash1;  // picture B: the icon from load on
  Timer TmrFlash;     // the flash clock, 1000 ms
  Menu mPopupMenu;    // "&PopupMenu", only ever popped up
  Menu mnu_Help;      // "View The Tutorial"
  Menu mSep1;
  Menu Send_Email;         // "Send Email"
  Menu Add_Contact;        // "Add New Contact"
  Menu template_Settings;  // "Template Settings"
  Menu Mnu_Inp;            // "Important Information"
  Menu berak;
  Menu mSep2;
  Menu mExit;  // "&Exit"

  // The host window, whose resize and unload the tray window follows.
  FormRef FSys;

  // Not pixels (3): the notification area's message number arrives in twips.
  int ScaleMode = 1;

  // ---- public properties ----
  const std::string& Tooltip() const { return nid_.szTip; }
  void SetTooltip(const std::string& text);
  int16_t Interval() const { return static_cast<int16_t>(TmrFlash.Interval()); }
  void SetInterval(int16_t ms);
  void SetTrayIcon(const TrayIconValue& value);

  // ---- public procedures, for a host window (nothing calls the first two) ----
  void MeQueryUnload(Form& F, int& Cancel, int UnloadMode);
  void MeResize(Form& F);
  void mExit_Click();

  // ---- events of its own; nothing listens ----
  std::function<void(std::string&)> Click;  // the name of each mouse message
  std::function<void(Form&)> TIcon;         // after every change of the icon

  // ---- handlers ----
  void Form_Load() override;
  void Form_MouseMove(int button, int shift, float x, float y) override;
  void TmrFlash_Timer();
  void FSys_Resize();
  void FSys_Unload(int& cancel);
  void mnu_Help_Click();
  void Send_Email_Click();
  void Add_Contact_Click();
  void template_Settings_Click();
  void Mnu_Inp_Click();

 private:
  void TrayNotify(NotifyMessage message);
  void RaiseTIcon();
  void MeRestore();
  // Nothing calls these four.
  void MeMaximize();
  void MeMinimize();
  void ShowToolbar();
  void ShowTopPad();

  bool FlashState = false;
  int LastState = vbNormal;  // the host's last state other than minimised
  IconRecord nid_;
};

}  // namespace tallow::shell
