#include "platform/desktop/desktop.h"

#include "platform/desktop/assets.h"

namespace tallow::desktop {

Desktop::Desktop() {
  InitAssets();
  // Spare key codes bound for typing are given back before the process goes,
  // however it is ended, or the user's keymap stays changed.
  loop.beforeEnd = [this] { keyboard.Stop(); };
}

Services Desktop::services() {
  return Services{messages, clipboard, keys, keyboard, tray, mail, mail, loop, env, windows};
}

}  // namespace tallow::desktop
