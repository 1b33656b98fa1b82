#include "utilities/utility_browser.h"

#include "program.h"

namespace tallow::utilities {

UtilityBrowser::UtilityBrowser(Program& app) : Window(app, "UtilityBrowser") {
  SetCaption("Utility Menu");
  geometry = {0, 0, 400, 300};
}

}  // namespace tallow::utilities
