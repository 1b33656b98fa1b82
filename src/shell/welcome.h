// The welcome window that start-up shows.
#pragma once

#include "window.h"

namespace tallow::shell {

class Welcome : public Window {
 public:
  explicit Welcome(Program& app);

  // Containers come first: the controls inside them name them.
  Frame Frame1;  // "Select Your Default Mail Client"

  Image Image4;                        // the banner across the top
  Label Label3;                        // what the program does now
  CommandButton Command1;              // "Ready!"
  CommandButton Command2;              // "Read The Tutorials"
  ControlArray<OptionButton> Option1;  // 0 "Outlook Express", 1 "Outlook (Office)": both in Frame1
  Shape Shape1;                        // drawn around the check box
  CheckBox Check1;                     // "Do not show this window when loading."

  // ---- public operations ----
  void SaveOutLook();
  void ShowYes();

  // True when the load hid the window because the user asked not to see it:
  // start-up then leaves it hidden.
  bool HiddenAtLoad() const { return hiddenAtLoad_; }

  // ---- events ----
  void Form_Load() override;
  void Form_Unload(int& cancel) override;
  void Option1_Click(int index);
  void Command1_Click();
  void Command2_Click();
  void Check1_Click();

 private:
  bool hiddenAtLoad_ = false;
  bool showingFile_ = false;  // the options are being set to what settings.dat holds
};

}  // namespace tallow::shell
