// The utility menu: launches the two note pads.
#pragma once

#include "window.h"

namespace tallow::utilities {

class UtilityBrowser : public Window {
 public:
  explicit UtilityBrowser(Program& app);

  // Containers come first: the controls inside them name them.
  Frame Frame1;  // upper part: the scratch pad
  Frame Frame2;  // lower part: the note window

  Label Label1;            // "TopPad Utility", bold
  Label Label2;            // what the scratch pad is for
  CommandButton Command1;  // "Launch TopPad"
  Label Label4;            // "Launch QuickNotes!", bold
  Label Label3;            // what the note window is for
  CommandButton Command2;  // "Launch Quick Notes"

  // ---- events ----
  void Command1_Click();
  void Command2_Click();
};

}  // namespace tallow::utilities
