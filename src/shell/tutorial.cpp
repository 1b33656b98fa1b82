#include "shell/tutorial.h"

#include "program.h"

namespace tallow::shell {

std::string TutorialAddress(const std::string& siteURL) {
  const size_t end = siteURL.find_last_not_of('/');
  return siteURL.substr(0, end == std::string::npos ? 0 : end + 1) + "/tutorial/";
}

Tutorial::Tutorial(Program& app) : Window(app, "Tutorial"), WebBrowser1(*this, "WebBrowser1") {
  icon = "program";
  // Sizable, but nothing follows the size: the view keeps its own.
  sizable = true;
  geometry = {0, 0, 709, 439};
  WebBrowser1.geometry = {6, 7, 697, 425};
}

// What the view shows when the page cannot be reached is the view's affair.
void Tutorial::Form_Load() {
  SetCaption(app.AppTitle);
  WebBrowser1.Navigate2(TutorialAddress(app.SiteURL));
  MakeTopmost(*this);
}

}  // namespace tallow::shell
