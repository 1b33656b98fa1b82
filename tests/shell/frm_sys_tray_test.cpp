// The tray window after a real start-up: the icon and its flashing, the tip,
// TrayIcon and Interval, the mouse messages, the popup menu, the host restore
// and what the host's resize and unload do.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "desk/add_address.h"
#include "desk/form1.h"
#include "desk/form1a.h"
#include "desk/setting_man.h"
#include "shell/frm_sys_tray.h"
#include "shell/shift.h"
#include "shell/tutorial.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using shell::FrmSysTray;

// What the desktop is asked to do with a window.
class ViewLog : public View {
 public:
  void Changed() override {}
  void Raise() override { ++raised; }
  void Popup(Menu& menu) override { popups.push_back(menu.Name()); }
  int raised = 0;
  std::vector<std::string> popups;
};

class TrayWindowTest : public ProgramTest {
 protected:
  TrayWindowTest() {
    w.Click = [this](std::string& name) { clicks.push_back(name); };
    w.TIcon = [this](Form& f) { ticons.push_back(f.icon); };
    w.view = &trayView;
    host.view = &hostView;
  }
  ~TrayWindowTest() override {
    if (app.FrmSysTray.get()) w.view = nullptr;
    if (app.ToolbarShift.get()) host.view = nullptr;
  }
  // A mouse message as the notification area delivers it: in twips, in a dispatch.
  void Mouse(long number) {
    User([&] { w.Form_MouseMove(0, 0, static_cast<float>(number * ScreenTwipsPerPixelX), 0); });
  }
  void DoubleClick() {
    for (long n : {0x201, 0x202, 0x203, 0x202}) Mouse(n);
  }
  std::vector<std::string> Icons(NotifyMessage message) const {
    std::vector<std::string> icons;
    for (const auto& c : tray.calls)
      if (c.message == message) icons.push_back(c.record.hIcon);
    return icons;
  }

  FrmSysTray& Started() {
    app.Start();
    clock.Advance(100);  // the Send Email window has hidden itself
    return *app.FrmSysTray.get();
  }

  FrmSysTray& w = Started();
  Form& host = *app.ToolbarShift.get();
  ViewLog trayView, hostView;
  std::vector<std::string> clicks, ticons;
};

TEST_F(TrayWindowTest, LoadAddsTheIconRecordWithTheTip) {
  ASSERT_FALSE(tray.calls.empty());
  const auto& add = tray.calls.front();
  EXPECT_EQ(add.message, NotifyMessage::Add);
  EXPECT_EQ(add.record.cbSize, 88);
  EXPECT_EQ(add.record.hWnd, &w);
  EXPECT_EQ(add.record.uID, 1);
  EXPECT_EQ(add.record.uFlags, 7);
  EXPECT_EQ(add.record.uCallbackMessage, 0x200);
  EXPECT_EQ(add.record.hIcon, "flash1");  // picture B
  EXPECT_EQ(add.record.szTip, std::string("tallowmark") + '\0' + std::string(53, ' '));
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.FSys.get(), &host);
  // In the notification area before the welcome window loads.
  const auto& loaded = windows.attached;
  EXPECT_LT(std::find(loaded.begin(), loaded.end(), "FrmSysTray"), std::find(loaded.begin(), loaded.end(), "Welcome"));
  EXPECT_EQ(tray.calls.size(), 1u) << "only the add until the first tick";
}

TEST_F(TrayWindowTest, TheTipField) {
  // An executable named with 8 letters: those, a NUL and 55 blanks.
  w.SetTooltip("mailtray");
  EXPECT_EQ(w.Tooltip(), std::string("mailtray") + '\0' + std::string(55, ' '));
  EXPECT_EQ(tray.calls.size(), 1u) << "setting the tip sends nothing";
  clock.Advance(1000);
  EXPECT_EQ(tray.calls.back().record.szTip, w.Tooltip()) << "the next tick takes it along";

  const std::string t63(63, 'x'), t64(64, 'y'), t80(80, 'z');
  EXPECT_EQ(shell::TipField(t63), t63 + '\0');
  // 64 characters or more: cut to 63, so that the NUL still ends the tip.
  EXPECT_EQ(shell::TipField(t64), std::string(63, 'y') + '\0');
  EXPECT_EQ(shell::TipField(t80), std::string(63, 'z') + '\0');
  // Never half a character: "é" is two bytes, straddling the cut.
  const std::string accented = std::string(62, 'a') + "\xC3\xA9" + "bc";
  EXPECT_EQ(shell::TipField(accented), std::string(62, 'a') + '\0' + ' ');
  EXPECT_EQ(shell::TipField(""), '\0' + std::string(63, ' '));
}

TEST_F(TrayWindowTest, FlashesBThenAThenBOneModifyATick) {
  clock.Advance(899);  // 1 ms short of a second after the load
  EXPECT_EQ(tray.calls.size(), 1u);
  clock.Advance(1);
  clock.Advance(1000);
  EXPECT_EQ(Icons(NotifyMessage::Modify), (std::vector<std::string>{"flash2", "flash1"}));  // A, then B
  EXPECT_EQ(ticons, (std::vector<std::string>{"flash2", "flash1"}));
  for (const auto& c : tray.calls) {
    EXPECT_EQ(c.record.uID, 1);
    EXPECT_EQ(c.record.uFlags, 7);
    EXPECT_EQ(c.record.szTip, tray.calls.front().record.szTip);
  }
  clock.Advance(8000);
  EXPECT_EQ(Icons(NotifyMessage::Modify).size(), 10u);
}

TEST_F(TrayWindowTest, IntervalSendsAtOnceAndSetsThePace) {
  EXPECT_EQ(w.Interval(), 1000);
  w.SetInterval(500);
  EXPECT_EQ(w.Interval(), 500);
  ASSERT_EQ(tray.calls.size(), 2u);
  EXPECT_EQ(tray.calls.back().message, NotifyMessage::Modify);
  EXPECT_EQ(tray.calls.back().record.hIcon, "flash1") << "the icon as it was";
  clock.Advance(1000);
  EXPECT_EQ(Icons(NotifyMessage::Modify), (std::vector<std::string>{"flash1", "flash2", "flash1"}));
}

TEST_F(TrayWindowTest, TrayIconChoosesThePictureAndWhetherItFlashes) {
  auto icon = [&] { return tray.calls.back().record.hIcon; };
  // How many notifications the next `ms` bring: one a tick while it flashes.
  auto sentIn = [&](int ms) {
    const size_t before = tray.calls.size();
    clock.Advance(ms);
    return tray.calls.size() - before;
  };

  // "default", in any case: picture A at once and flashing on; the ticks go
  // on from the flash state (true next: A, then B).
  const size_t before = tray.calls.size();
  w.SetTrayIcon(std::string("Default"));
  EXPECT_EQ(tray.calls.size(), before + 1);
  EXPECT_EQ(icon(), "flash2");
  EXPECT_EQ(ticons.back(), "flash2");
  EXPECT_EQ(Icons(NotifyMessage::Modify), std::vector<std::string>{"flash2"});
  EXPECT_EQ(sentIn(2000), 2u);
  EXPECT_EQ(icon(), "flash1");

  // A picture box or a window: its picture, and the flashing stops.
  w.SetTrayIcon(&w.Flash2);
  EXPECT_EQ(icon(), "flash2");
  EXPECT_EQ(sentIn(5000), 0u);
  w.SetTrayIcon(static_cast<const Form*>(&app.Form1()));
  EXPECT_EQ(icon(), "program");
  EXPECT_EQ(sentIn(3000), 0u);

  // A number has no picture: the icon stays, TIcon is raised, one modify
  // goes out and the flashing resumes.
  const size_t raised = ticons.size();
  EXPECT_EQ((w.SetTrayIcon(1024.0), icon()), "program");
  EXPECT_EQ(ticons.size(), raised + 1);
  EXPECT_EQ(sentIn(1000), 1u);

  // A picture file: loaded, flashing on, so the next tick replaces it. One
  // that cannot be loaded leaves the icon, and the flashing on.
  const std::string file = InFolder("picture.png");
  WriteFile(file, "a picture");
  EXPECT_EQ((w.SetTrayIcon(file), icon()), "file:" + file);
  EXPECT_EQ(sentIn(1000), 1u);
  EXPECT_NE(icon(), "file:" + file);
  w.SetTrayIcon(&w.Flash1);
  EXPECT_EQ((w.SetTrayIcon(InFolder("missing.ico")), icon()), "flash1");
  w.SetTrayIcon(&w.Flash1);
  EXPECT_EQ((w.SetTrayIcon(static_cast<const Image*>(nullptr)), icon()), "flash1");
  EXPECT_EQ(sentIn(1000), 1u);
}

TEST_F(TrayWindowTest, MouseMessagesAreNamedAndOnlyTwoAct) {
  for (long n = 0x200; n <= 0x209; ++n)
    if (n != 0x203 && n != 0x205) Mouse(n);
  Mouse(1024);
  Mouse(0);
  EXPECT_EQ(clicks,
            (std::vector<std::string>{"MOUSEMOVE", "LBUTTONDOWN", "LBUTTONUP", "RBUTTONDOWN", "RBUTTONDBLCLK",
                                      "MBUTTONDOWN", "MBUTTONUP", "MBUTTONDBLCLK", "OTHER....: 1024", "OTHER....: 0"}));
  EXPECT_TRUE(trayView.popups.empty()) << "a right press and hold opens nothing";
  EXPECT_FALSE(host.Visible());

  // The right release pops the menu up, after its event.
  w.Click = [&](std::string& name) { clicks.push_back(name + (trayView.popups.empty() ? "" : " after")); };
  Mouse(0x205);
  EXPECT_EQ(clicks.back(), "RBUTTONUP");
  EXPECT_EQ(trayView.popups, std::vector<std::string>{"mPopupMenu"});

  // The number is x over the twips per pixel, to the nearest whole.
  User([&] { w.Form_MouseMove(0, 0, 0x205 * 15 - 7, 0); });
  User([&] { w.Form_MouseMove(0, 0, 0x205 * 15 + 7, 0); });
  EXPECT_EQ(trayView.popups.size(), 3u);
  w.ScaleMode = 3;  // pixels: the number as it is
  User([&] { w.Form_MouseMove(0, 0, 0x205, 0); });
  EXPECT_EQ(trayView.popups.size(), 4u);
}

TEST_F(TrayWindowTest, DoubleClickRestoresTheHostOnlyWhenItIsAway) {
  // Hidden, the first time: back in the normal state, in front, and the
  // Send Email window shown; the event came before the restore.
  w.Click = [&](std::string& name) { clicks.push_back(name + (host.Visible() ? " (host shown)" : "")); };
  DoubleClick();
  EXPECT_EQ(clicks, (std::vector<std::string>{"LBUTTONDOWN", "LBUTTONUP", "LBUTTONDBLCLK", "LBUTTONUP (host shown)"}));
  EXPECT_TRUE(host.Visible());
  EXPECT_EQ(host.WindowState(), vbNormal);
  EXPECT_EQ(hostView.raised, 1);
  EXPECT_TRUE(app.Form1().Visible());

  // Visible, normal or maximised: nothing but the events.
  for (int state : {vbNormal, vbMaximized}) {
    User([&] { host.SetWindowState(state); });
    app.Form1().Hide();
    clicks.clear();
    DoubleClick();
    EXPECT_EQ(clicks.size(), 4u);
    EXPECT_EQ(host.WindowState(), state);
    EXPECT_EQ(hostView.raised, 1);
    EXPECT_FALSE(app.Form1().Visible()) << "state " << state;
  }

  // Maximised, then minimised: back maximised. Minimising kept the state.
  User([&] { host.SetWindowState(vbMinimized); });
  DoubleClick();
  EXPECT_EQ(host.WindowState(), vbMaximized);
  EXPECT_TRUE(host.Visible());
  EXPECT_TRUE(app.Form1().Visible());
}

TEST_F(TrayWindowTest, ForAHostWindowQueryUnloadAndResize) {
  int cancel = 0;
  host.Show();
  w.MeQueryUnload(host, cancel, 1);  // by code: nothing
  EXPECT_EQ(cancel, 0);
  EXPECT_TRUE(host.Visible());
  w.MeQueryUnload(host, cancel, 0);  // from its title bar: minimised and hidden instead
  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(host.WindowState(), vbMinimized);
  EXPECT_FALSE(host.Visible());

  host.Show();
  w.MeResize(host);  // minimised: hidden
  EXPECT_FALSE(host.Visible());

  // Normal or maximised: remembered for the next restore.
  Form& other = app.Tutorial();
  other.SetWindowState(vbMaximized);
  w.MeResize(other);
  DoubleClick();
  EXPECT_EQ(host.WindowState(), vbMaximized);
  EXPECT_TRUE(host.Visible());
}

TEST_F(TrayWindowTest, TheMenuAndWhatEachItemShows) {
  std::vector<std::string> captions;
  for (Menu* item : w.mPopupMenu.Items()) captions.push_back(item->Caption());
  EXPECT_EQ(w.mPopupMenu.Caption(), "&PopupMenu");
  EXPECT_EQ(captions, (std::vector<std::string>{"View The Tutorial", "-", "Send Email", "Add New Contact",
                                                "Template Settings", "Important Information", "-", "-", "&Exit"}));

  // Send Email: the loaded window, as it was, not loaded again.
  desk::Form1& form1 = app.Form1();
  form1.txtSubject.SetText("kept");
  const auto loads = std::count(windows.attached.begin(), windows.attached.end(), "Form1");
  User([&] { w.Send_Email.Choose(); });
  EXPECT_TRUE(form1.Visible());
  EXPECT_EQ(&app.Form1(), &form1);
  EXPECT_EQ(form1.txtSubject.Text(), "kept");
  EXPECT_EQ(std::count(windows.attached.begin(), windows.attached.end(), "Form1"), loads);

  const std::pair<Menu*, SlotBase*> items[] = {{&w.mnu_Help, &app.Tutorial},
                                               {&w.Add_Contact, &app.AddAddress},
                                               {&w.template_Settings, &app.SettingMan},
                                               {&w.Mnu_Inp, &app.Form1a}};
  for (auto [item, window] : items) {
    User([&] { item->Choose(); });
    EXPECT_TRUE(window->get() && window->get()->Visible()) << item->Caption();
  }
  EXPECT_FALSE(clock.ended);
}

TEST_F(TrayWindowTest, ExitEndsAtOnceRunningNoUnloadAndWritingNothing) {
  const std::string settings = InFolder("settings.dat");
  struct stat before {};
  ASSERT_EQ(::stat(settings.c_str(), &before), 0);
  const auto loaded = app.LoadedForms();
  const size_t sent = tray.calls.size();

  User([&] { w.mExit.Choose(); });
  EXPECT_TRUE(clock.ended);
  EXPECT_EQ(app.LoadedForms(), loaded) << "no window unloaded";
  EXPECT_EQ(tray.calls.size(), sent) << "the icon is not deleted";
  struct stat after {};
  ASSERT_EQ(::stat(settings.c_str(), &after), 0);
  // The welcome window's unload would have written the settings anew.
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
}

TEST_F(TrayWindowTest, ClosingTheHostTakesTheIconAwayAndTheHotKeysStay) {
  User([&] { app.UnloadForm(host, 0); });
  EXPECT_FALSE(app.ToolbarShift.IsLoaded());
  EXPECT_FALSE(app.FrmSysTray.IsLoaded());
  ASSERT_FALSE(tray.calls.empty());
  const auto& last = tray.calls.back();
  EXPECT_EQ(last.message, NotifyMessage::Delete);
  EXPECT_EQ(last.record.uID, 1);
  EXPECT_EQ(last.record.uFlags, 7);
  const size_t sent = tray.calls.size();

  keys.down = {vbKeyF10};
  clock.Advance(3000);
  EXPECT_EQ(tray.calls.size(), sent) << "no tick after the tray window went";
  EXPECT_TRUE(app.Form1().Visible()) << "F10 still shows the Send Email window";
}

}  // namespace
}  // namespace tallow::testing
