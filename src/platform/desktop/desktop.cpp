#include "platform/desktop/desktop.h"

#include <QSystemTrayIcon>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/desktop/assets.h"

namespace tallow::desktop {

Desktop::Desktop() {
  InitAssets();
  // Spare key codes bound for typing are given back before the process goes,
  // however it is ended, or the user's keymap stays changed.
  loop.beforeEnd = [this] { keyboard.Stop(); };
}

Services Desktop::services() {
  return Services{messages, clipboard, keys, keyboard, tray, mail, mail, loop, env, windows, dispatch};
}

std::vector<std::string> Desktop::Lacks() {
  const std::string servers = "The X servers of Debian's packages xserver-xorg-core, xvfb and xwayland have it";
  std::vector<std::string> lacks;
  if (!keys.Connected()) {
    const char* display = std::getenv("DISPLAY");
    const std::string which = display && *display ? std::string("DISPLAY=") + display : "DISPLAY is not set";
    lacks.push_back("no X display could be reached (" + which +
                    "), so the hot keys F8, F9, F10, F12 and Esc and the typing into other programs will not "
                    "work. They need an X11 session, or XWayland under Wayland (Debian package xwayland).");
  } else {
    if (!keyboard.Connected())
      lacks.push_back(
          "the X server does not offer the XTEST or the XKEYBOARD extension, so F8 and F9 will not type the subject or "
          "the message into other programs. " +
          servers + ", unless it is turned off.");
    if (!keys.SeesTaps())
      lacks.push_back("the X server does not offer the XInput2 extension, so a quick tap of F8, F9, F10, F12 or "
                      "Esc may be missed: hold the key a little longer. " +
                      servers + ".");
  }
  // Qt puts the icon into an area that comes up later by itself: this is
  // said at start-up only.
  if (!QSystemTrayIcon::isSystemTrayAvailable())
    lacks.push_back("no notification area (system tray) is running, so the program's icon and its menu do not "
                    "show yet; the icon will appear as soon as one starts (a desktop panel, or Debian's package "
                    "trayer).");
  if (!mail.Installed())
    lacks.push_back("no mail system was found (" + mail.Program() +
                    " is missing), so no message can be sent: "
                    "each send will be reported as not sent. Install one, for example Debian's package dma.");
  return lacks;
}

}  // namespace tallow::desktop
