// Every service of the window model on the real desktop, in one place.
// Build it after the QApplication and before the Program.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop/key_state.h"
#include "platform/desktop/mail.h"
#include "platform/desktop/qt_services.h"
#include "platform/desktop/renderer.h"
#include "platform/desktop/tray.h"
#include "platform/desktop/typing.h"
#include "platform/dispatch.h"
#include "platform/services.h"

namespace tallow::desktop {

class Desktop {
 public:
  Desktop();
  Services services();
  // What the desktop lacks that would leave a part of the program doing
  // nothing without a word: one line each, in words for a user at a
  // terminal (what is missing, what will not work, where to get it).
  std::vector<std::string> Lacks();

  Dispatcher dispatch;
  Renderer windows{dispatch};
  QtMessageBoxes messages;
  QtClipboard clipboard;
  X11KeyState keys;
  XTestKeyboard keyboard;
  QtNotifyArea tray{dispatch, windows};
  SendmailMail mail;
  QtEventLoop loop{dispatch};
  ProcessEnvironment env;
};

}  // namespace tallow::desktop
