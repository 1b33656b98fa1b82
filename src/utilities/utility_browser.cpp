#include "utilities/utility_browser.h"

#include "program.h"
#include "utilities/quick_notes.h"
#include "utilities/top_pad.h"

namespace tallow::utilities {

UtilityBrowser::UtilityBrowser(Program& app)
    : Window(app, "UtilityBrowser"),
      Frame1(*this, "Frame1"),
      Frame2(*this, "Frame2"),
      Label1(*this, "Label1", &Frame1, "TopPad Utility"),
      Label2(*this, "Label2", &Frame1,
             "This features acts as a Notepad.  What makes it special is the program will always stay \"on top\" "
             "of the screen.  This is useful when you are copying information out of a document and need quick "
             "access to Notepad for storing that information rather then having to switch back and forth "
             "continually."),
      Command1(*this, "Command1", &Frame1, "Launch TopPad"),
      Label4(*this, "Label4", &Frame2, "Launch QuickNotes!"),
      Label3(*this, "Label3", &Frame2,
             "Quick Notes is a fast way to utilize a notepad like application.  This utility will instantly be "
             "load your notes on launch and automatically be saved when you close quick notes.  No more finding "
             "and opening your notes files.. its done automatically.  "),
      Command2(*this, "Command2", &Frame2, "Launch Quick Notes") {
  SetCaption("Utility Menu");
  icon = "flash1";  // the host window's picture: the mail desk's windows carry "program"
  geometry = {0, 0, 420, 332};
  Frame1.geometry = {8, 4, 404, 158};
  Label1.geometry = {12, 14, 380, 17};
  Label1.fontBold = true;
  Label2.geometry = {12, 34, 380, 80};
  Command1.geometry = {12, 120, 160, 28};
  Frame2.geometry = {8, 166, 404, 158};
  Label4.geometry = {12, 14, 380, 17};
  Label4.fontBold = true;
  Label3.geometry = {12, 34, 380, 80};
  Command2.geometry = {12, 120, 160, 28};

  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
}

void UtilityBrowser::Command1_Click() {
  app.TopPad().Show();
  Hide();
}

void UtilityBrowser::Command2_Click() {
  app.QuickNotes().Show();
  Hide();
}

}  // namespace tallow::utilities
