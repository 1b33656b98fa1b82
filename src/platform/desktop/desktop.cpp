#include "platform/desktop/desktop.h"

#include "platform/desktop/assets.h"

namespace tallow::desktop {

Desktop::Desktop() { InitAssets(); }

Services Desktop::services() {
  return Services{messages, clipboard, keys, keyboard, tray, mail, mail, loop, env, windows};
}

}  // namespace tallow::desktop
