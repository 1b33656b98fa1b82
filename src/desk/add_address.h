// The add-contact windows: AddAddress saves into a chosen book, AddAddress2
// into the root address list. Both stand on ContactWindow.
#pragma once

#include <string>

#include "window.h"

namespace tallow::desk {

// What the user is told of an address file or of the book list that could
// not be saved or read, for ReportFailure to give with its reason: `done` is
// "saved to" or "read from", and the file is named after it.
std::string AddressFileNot(const std::string& done, const std::string& book);
std::string BookListNot(const std::string& done);

// What both add-contact windows share: the two boxes, "Save", "Close", the
// status line, the entry buffer and the two status timers.
class ContactWindow : public Window {
 public:
  Label Label1;  // "Contact Name"
  TextBox Text1;
  Label Label2;  // "Email Address"
  TextBox Text2;
  CommandButton Command1;  // "Save"
  CommandButton Command2;  // "Close"
  Label status;            // "Save Complete" for a moment after a save
  ListBox List1;           // hidden: the entries copied at load, then the ones saved
  Timer Timer1;            // shows the result of a save, 100 ms after it
  Timer Timer2;            // clears the status line, every 1500 ms once started

  // ---- events ----
  void Form_Load() override;
  void Command1_Click();
  void Command2_Click();
  void Text1_Change();
  void Text2_Change();
  void Timer1_Timer();
  void Timer2_Timer();

 protected:
  ContactWindow(Program& app, std::string name);
  // Places the boxes, the buttons and the status line from `top` down, and
  // sizes the window around them.
  void LayOut(int top);
  // Appends the entry to the window's address file; false (the user told)
  // when it could not.
  virtual bool SaveEntry(const std::string& entry) = 0;
  // SaveEntry's common end: the entry appended to the address file at `path`
  // (the root list's when `book` is ""), or the user told why not.
  bool Append(const std::string& path, const std::string& book, const std::string& entry);
  // Tells the other windows that an address file changed.
  virtual void RefreshOthers() = 0;

 private:
  void EnableSave();
};

class AddAddress : public ContactWindow {
 public:
  explicit AddAddress(Program& app);

  Image Image5;    // the banner
  Image Image1;    // no picture
  Label Label3;    // "Choose Address Book"
  ListBox Combo2;  // the books

  // ---- public operations ----
  // Takes an e-mail address from the clipboard into Text2.
  void FindThatEmail();

  void Form_Load() override;

 protected:
  bool SaveEntry(const std::string& entry) override;
  void RefreshOthers() override;
};

}  // namespace tallow::desk
