// The tutorial window: the product's on-line tutorial in a web view.
#pragma once

#include <string>

#include "window.h"

namespace tallow::shell {

// The tutorial page: the site's address, one "/", "tutorial/".
std::string TutorialAddress(const std::string& siteURL);

class Tutorial : public Window {
 public:
  explicit Tutorial(Program& app);

  WebBrowser WebBrowser1;  // the tutorial page

  // ---- events ----
  void Form_Load() override;
};

}  // namespace tallow::shell
