#include "utilities/top_pad.h"

#include "program.h"

namespace tallow::utilities {

TopPad::TopPad(Program& app)
    : Window(app, "TopPad"),
      Text1(*this, "Text1"),
      Label1(*this, "Label1", nullptr, "This notepad utility will always stay on top.") {
  icon = "flash1";  // the host window's picture: the mail desk's windows carry "program"
  geometry = {0, 0, 360, 300};
  Text1.multiLine = true;
  Text1.scrollBars = true;
  Text1.geometry = {8, 8, 344, 256};
  Label1.geometry = {8, 272, 344, 17};
}

void TopPad::Form_Load() {
  SetCaption(app.AppTitle);
  MakeTopmost(*this);
}

}  // namespace tallow::utilities
