#include "shell/frm_sys_tray.h"

#include <cctype>
#include <cmath>

#include "desk/add_address.h"
#include "desk/form1.h"
#include "desk/form1a.h"
#include "desk/form3.h"
#include "desk/setting_man.h"
#include "platform/text.h"
#include "program.h"
#include "shell/tutorial.h"
#include "utilities/top_pad.h"

namespace tallow::shell {

namespace {
constexpr long WM_MOUSEMOVE = 0x200;
constexpr long WM_LBUTTONDBLCLK = 0x203;
constexpr long WM_RBUTTONUP = 0x205;
constexpr size_t kTipField = 64;
}  // namespace

std::string TipField(const std::string& text) {
  // Never half of a character: a UTF-8 sequence goes whole or not at all.
  const size_t keep = text.size() < kTipField ? text.size() : text::CharacterStart(text, kTipField - 1);
  std::string field = text.substr(0, keep) + '\0';
  field.resize(kTipField, ' ');
  return field;
}

std::string MouseMessageName(long number) {
  static const char* const kNames[] = {"MOUSEMOVE", "LBUTTONDOWN",   "LBUTTONUP",   "LBUTTONDBLCLK", "RBUTTONDOWN",
                                       "RBUTTONUP", "RBUTTONDBLCLK", "MBUTTONDOWN", "MBUTTONUP",     "MBUTTONDBLCLK"};
  if (number >= WM_MOUSEMOVE && number < WM_MOUSEMOVE + 10) return kNames[number - WM_MOUSEMOVE];
  return "OTHER....: " + std::to_string(number);
}

FrmSysTray::FrmSysTray(Program& app)
    : Window(app, "FrmSysTray"),
      Flash2(*this, "Flash2", nullptr, "flash2"),
      Flash1(*this, "Flash1", nullptr, "flash1"),
      TmrFlash(*this, "TmrFlash", 1000, true),
      mPopupMenu(*this, "mPopupMenu", nullptr, "&PopupMenu"),
      mnu_Help(*this, "mnu_Help", &mPopupMenu, "View The Tutorial"),
      mSep1(*this, "mSep1", &mPopupMenu, "-"),
      Send_Email(*this, "Send_Email", &mPopupMenu, "Send Email"),
      Add_Contact(*this, "Add_Contact", &mPopupMenu, "Add New Contact"),
      template_Settings(*this, "template_Settings", &mPopupMenu, "Template Settings"),
      Mnu_Inp(*this, "Mnu_Inp", &mPopupMenu, "Important Information"),
      berak(*this, "berak", &mPopupMenu, "-"),
      mSep2(*this, "mSep2", &mPopupMenu, "-"),
      mExit(*this, "mExit", &mPopupMenu, "&Exit") {
  borderless = true;
  nid_.szTip = std::string(kTipField, '\0');

  TmrFlash.OnTimer = [this] { TmrFlash_Timer(); };
  mnu_Help.Click = [this] { mnu_Help_Click(); };
  Send_Email.Click = [this] { Send_Email_Click(); };
  Add_Contact.Click = [this] { Add_Contact_Click(); };
  template_Settings.Click = [this] { template_Settings_Click(); };
  Mnu_Inp.Click = [this] { Mnu_Inp_Click(); };
  mExit.Click = [this] { mExit_Click(); };
  FSys.Resize = [this] { FSys_Resize(); };
  FSys.Unload = [this](int& cancel) { FSys_Unload(cancel); };
}

// The notification area's only caller: the same record, all three flags,
// with every message; whether the call worked is not looked at.
void FrmSysTray::TrayNotify(NotifyMessage message) {
  nid_.cbSize = 88;
  nid_.hWnd = this;
  nid_.uID = 1;
  nid_.uFlags = 7;
  nid_.uCallbackMessage = WM_MOUSEMOVE;
  nid_.hIcon = icon;
  svc().tray.Notify(message, nid_);
}

void FrmSysTray::RaiseTIcon() {
  if (TIcon) TIcon(*this);
}

void FrmSysTray::Form_Load() {
  icon = Flash1.Picture();
  RaiseTIcon();
  Hide();
  TmrFlash.SetEnabled(true);
  SetTooltip(svc().env.ExeName());
  TrayNotify(NotifyMessage::Add);
}

void FrmSysTray::TmrFlash_Timer() {
  FlashState = !FlashState;
  icon = FlashState ? Flash2.Picture() : Flash1.Picture();
  RaiseTIcon();
  TrayNotify(NotifyMessage::Modify);
}

// Reaches the notification area with the next notification.
void FrmSysTray::SetTooltip(const std::string& text) { nid_.szTip = TipField(text); }

void FrmSysTray::SetInterval(int16_t ms) {
  TmrFlash.SetInterval(ms);
  TrayNotify(NotifyMessage::Modify);
}

// A picture or a window's icon stops the flashing; "default" and a picture
// file keep it on. A step that fails leaves the icon as it was, and the
// flashing resumes.
void FrmSysTray::SetTrayIcon(const TrayIconValue& value) {
  TmrFlash.SetEnabled(false);
  bool stops = false;  // only a picture that is there stops the flashing
  if (auto* picture = std::get_if<const Image*>(&value); picture && *picture) {
    icon = (*picture)->Picture();
    stops = true;
  } else if (auto* window = std::get_if<const Form*>(&value); window && *window) {
    icon = (*window)->icon;
    stops = true;
  } else if (auto* text = std::get_if<std::string>(&value)) {
    TmrFlash.SetEnabled(true);
    std::string upper = *text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "DEFAULT")
      icon = Flash2.Picture();
    else if (std::string loaded = svc().windows.LoadPicture(*text); !loaded.empty())
      icon = loaded;
  }
  RaiseTIcon();
  if (!stops) TmrFlash.SetEnabled(true);
  TrayNotify(NotifyMessage::Modify);
}

void FrmSysTray::MeQueryUnload(Form& F, int& Cancel, int UnloadMode) {
  if (UnloadMode != 0) return;
  Cancel = 1;
  F.SetWindowState(vbMinimized);
  F.Hide();
}

void FrmSysTray::MeResize(Form& F) {
  if (F.WindowState() == vbMinimized)
    F.Hide();
  else
    LastState = F.WindowState();
}

// Ends the program at once: no window's unload runs, the icon is left as it is.
void FrmSysTray::mExit_Click() { app.End(); }

// The notification area's mouse message arrives in place of x, in the
// window's scale units.
void FrmSysTray::Form_MouseMove(int, int, float x, float) {
  const long number = std::lrint(ScaleMode == 3 ? x : x / ScreenTwipsPerPixelX);
  std::string name = MouseMessageName(number);
  if (Click) Click(name);
  if (number == WM_LBUTTONDBLCLK)
    MeRestore();
  else if (number == WM_RBUTTONUP)
    PopupMenu(mPopupMenu);
}

// Brings the host back in its last state other than minimised, unless it is
// showing already.
void FrmSysTray::MeRestore() {
  if (!FSys) return;
  Form& host = *FSys;
  if (host.Visible() && host.WindowState() != vbMinimized) return;
  host.SetWindowState(LastState);
  host.Show();  // visible, raised and given the focus
  app.Form1().Show();
}

void FrmSysTray::FSys_Resize() {
  if (FSys->WindowState() != vbMinimized) LastState = FSys->WindowState();
}

// The host is going: so do the icon and the tray window. The hot keys stay.
void FrmSysTray::FSys_Unload(int&) {
  TrayNotify(NotifyMessage::Delete);
  Unload();
}

void FrmSysTray::MeMaximize() {
  FSys->SetWindowState(vbMaximized);
  FSys->Show();
}

void FrmSysTray::MeMinimize() { FSys->SetWindowState(vbMinimized); }

void FrmSysTray::ShowToolbar() { app.Form3().Show(); }

void FrmSysTray::ShowTopPad() { app.TopPad().Show(); }

void FrmSysTray::mnu_Help_Click() { app.Tutorial().Show(); }

// Already loaded, hidden, since start-up: shown as it is.
void FrmSysTray::Send_Email_Click() { app.Form1().Show(); }

void FrmSysTray::Add_Contact_Click() { app.AddAddress().Show(); }

void FrmSysTray::template_Settings_Click() { app.SettingMan().Show(); }

void FrmSysTray::Mnu_Inp_Click() { app.Form1a().Show(); }

}  // namespace tallow::shell
