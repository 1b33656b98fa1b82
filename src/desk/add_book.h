// The add-book window: names a new address book.
#pragma once

#include "window.h"

namespace tallow::desk {

class AddBook : public Window {
 public:
  explicit AddBook(Program& app);

  Image Image1;  // no picture
  Image Image5;  // the banner
  Label Label1;  // "New Address Book Name"
  TextBox Text1;
  CommandButton Command1;  // "Save"
  CommandButton Command2;  // "Close"

  // ---- events ----
  void Form_Load() override;
  void Text1_Change();
  void Command1_Click();
  void Command2_Click();
};

}  // namespace tallow::desk
