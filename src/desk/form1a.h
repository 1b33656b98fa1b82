// The important-information window: free-form entries ("*.txx"), each a
// one-line subject and a text, listed and edited in the left pane and
// composed in the right one. It is never unloaded: closing hides it, so it
// keeps its list, boxes and buttons for the whole run.
#pragma once

#include <string>

#include "window.h"

namespace tallow::desk {

class Form1a : public Window {
 public:
  explicit Form1a(Program& app);

  // Containers come first: the controls inside them name them.
  Frame Frame1;  // "View Important Information", the left pane
  Frame Frame2;  // "Add New Information", the right pane

  ControlArray<Label> Label1;  // 0: "Choose from the following:"
  ListBox List1;               // the entry subjects
  Label Label3;                // "Subject"
  TextBox txtSubject;          // the opened entry
  Label Label4;                // "Information"
  TextBox txtMessage;          // multi-line
  CommandButton Command5;      // "Save Changes"
  CommandButton Command4;      // "Delete"

  Label Label5;            // "Subject"
  TextBox Text2;           // the new entry's subject
  Label Label2;            // "Information"
  TextBox Text1;           // the new entry's information, multi-line
  CommandButton Command1;  // "Save This Information"
  CommandButton Command2;  // "Clear"
  Image Image5;            // the banner
  CommandButton Command3;  // "Close"

  FileListBox File1;  // hidden: "*.txx"
  ListBox List2;      // hidden: the settings fields

  // ---- public operations ----
  void OpenListMessage(int index);
  void LoadTemplate();
  void ReFreshSettings();

  // ---- events ----
  void Form_Load() override;
  void Form_Unload(int& cancel) override;
  void List1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Text1_Change();
  void Text2_Change();
  void txtSubject_Change();
  void txtMessage_Change();

 private:
  // Writes an entry's file, tells the user, empties the new-entry pane.
  void SaveEntry(const std::string& name, const std::string& subject, const std::string& information);
  // After a failed file operation: the list rebuilt from the folder, the
  // opened entry still selected with the user's edits while its file is there.
  void RebuildKeepingTheOpenedEntry();
  // While the rebuild opens the entry again: the user heard of its file already.
  bool reopening_ = false;
};

}  // namespace tallow::desk
