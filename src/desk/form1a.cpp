#include "desk/form1a.h"

#include <algorithm>

#include "desk/lists.h"
#include "program.h"
#include "report_failure.h"
#include "stores/files.h"
#include "stores/templates.h"

namespace tallow::desk {

Form1a::Form1a(Program& app)
    : Window(app, "Form1a"),
      Frame1(*this, "Frame1", nullptr, "View Important Information"),
      Frame2(*this, "Frame2", nullptr, "Add New Information"),
      List1(*this, "List1", &Frame1),
      Label3(*this, "Label3", &Frame1, "Subject"),
      txtSubject(*this, "txtSubject", &Frame1),
      Label4(*this, "Label4", &Frame1, "Information"),
      txtMessage(*this, "txtMessage", &Frame1),
      Command5(*this, "Command5", &Frame1, "Save Changes"),
      Command4(*this, "Command4", &Frame1, "Delete"),
      Label5(*this, "Label5", &Frame2, "Subject"),
      Text2(*this, "Text2", &Frame2),
      Label2(*this, "Label2", &Frame2, "Information"),
      Text1(*this, "Text1", &Frame2),
      Command1(*this, "Command1", &Frame2, "Save This Information"),
      Command2(*this, "Command2", &Frame2, "Clear"),
      Image5(*this, "Image5", &Frame2, "banner"),
      Command3(*this, "Command3", &Frame2, "Close"),
      File1(*this, "File1", "*.txx"),
      List2(*this, "List2") {
  geometry = {0, 0, 648, 408};
  centred = true;
  icon = "program";

  // The left pane: the entries, the opened one, its two buttons.
  Frame1.geometry = {8, 8, 312, 392};
  Label1.Add(0, *this, "Label1", &Frame1, "Choose from the following:").geometry = {12, 22, 288, 16};
  List1.geometry = {12, 40, 288, 96};
  Label3.geometry = {12, 144, 288, 16};
  txtSubject.geometry = {12, 162, 288, 24};
  Label4.geometry = {12, 194, 288, 16};
  txtMessage.geometry = {12, 212, 288, 130};
  txtMessage.multiLine = true;
  Command5.geometry = {12, 352, 140, 30};
  Command5.SetEnabled(false);
  Command4.geometry = {160, 352, 140, 30};

  // The right pane: the new entry, its save button, then "Clear", the banner
  // and "Close" along the bottom.
  Frame2.geometry = {328, 8, 312, 392};
  Label5.geometry = {12, 22, 288, 16};
  Text2.geometry = {12, 40, 288, 24};
  Label2.geometry = {12, 72, 288, 16};
  Text1.geometry = {12, 90, 288, 194};
  Text1.multiLine = true;
  Command1.geometry = {12, 294, 288, 30};
  Command1.SetEnabled(false);
  Command2.geometry = {12, 346, 64, 30};
  Image5.geometry = {81, 335, 150, 52};
  Command3.geometry = {236, 346, 64, 30};

  List2.SetVisible(false);

  List1.Click = [this] { List1_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command5.Click = [this] { Command5_Click(); };
  Text1.Change = [this] { Text1_Change(); };
  Text2.Change = [this] { Text2_Change(); };
  txtSubject.Change = [this] { txtSubject_Change(); };
  txtMessage.Change = [this] { txtMessage_Change(); };
}

// ---- public operations ----------------------------------------------------

void Form1a::OpenListMessage(int) {
  std::string why;
  desk::OpenListMessage(ProgramFolder(), List1, File1, txtSubject, txtMessage, &why);
  if (!why.empty() && !reopening_) ReportFailure(app, FileNotRead(File1.List(List1.ListIndex())), why);
}

// A rebuilt list has no selection, so no entry is left to save back into.
void Form1a::LoadTemplate() {
  desk::LoadTemplate(ProgramFolder(), File1, List1);
  Command5.SetEnabled(false);
}

void Form1a::ReFreshSettings() { desk::ReFreshSettings(ProgramFolder(), List2, /*clearFirst=*/true); }

// ---- the window ---------------------------------------------------------------

void Form1a::Form_Load() {
  MakeTopmost(*this);
  SetCaption(app.AppTitle + " - [ Important Information ]");
  LoadTemplate();
  ReFreshSettings();
}

void Form1a::Form_Unload(int& cancel) {
  cancel = 1;
  Hide();
}

void Form1a::Command3_Click() { Unload(); }

// ---- the left pane: the listed entries ------------------------------------------

void Form1a::List1_Click() {
  OpenListMessage(List1.ListIndex());
  Command5.SetEnabled(false);  // off until the user edits, whatever the boxes' changes did
}

void Form1a::txtSubject_Change() {
  if (List1.ListIndex() != -1 && !txtSubject.Text().empty() && !txtMessage.Text().empty()) Command5.SetEnabled(true);
}

void Form1a::txtMessage_Change() { txtSubject_Change(); }

void Form1a::Command5_Click() {
  const int index = List1.ListIndex();
  if (index == -1) return;  // no entry to write into
  SaveEntry(File1.List(index), txtSubject.Text(), txtMessage.Text());
}

void Form1a::Command4_Click() {
  const int index = List1.ListIndex();
  if (index == -1) return;
  const std::string name = File1.List(index);
  const std::string subject = List1.List(index);
  std::string why;
  if (!stores::DeleteFile(stores::JoinPath(ProgramFolder(), name), &why)) {
    ReportFailure(app, "The information \"" + subject + "\" could not be deleted from " + name, why);
    RebuildKeepingTheOpenedEntry();
    return;
  }
  app.MsgBox("Template Deleted: \r\n\r\n" + subject + "\r\n\r\nThis template has been removed.", MsgButtons::OK,
             MsgIcon::Information, "Template Deleted");
  txtSubject.SetText("");
  txtMessage.SetText("");
  LoadTemplate();
}

// ---- the right pane: a new entry ---------------------------------------------

void Form1a::Text1_Change() { Command1.SetEnabled(!Text1.Text().empty() && !Text2.Text().empty()); }

void Form1a::Text2_Change() { Text1_Change(); }

void Form1a::Command1_Click() {
  SaveEntry(stores::NewFileName(ProgramFolder(), File1.Pattern(), 2, ".txx"), Text2.Text(), Text1.Text());
}

void Form1a::Command2_Click() {
  Text1.SetText("");
  Text2.SetText("");
}

// Both saves end alike: the new-entry pane emptied and the list rebuilt. A
// save that fails keeps every box as it is, so nothing typed is lost.
void Form1a::SaveEntry(const std::string& name, const std::string& subject, const std::string& information) {
  std::string why;
  if (!stores::WriteWholeText(stores::JoinPath(ProgramFolder(), name), stores::TemplateText(subject, information),
                              &why)) {
    ReportFailure(app, "This information could not be saved to " + name, why);
    RebuildKeepingTheOpenedEntry();
    return;
  }
  app.MsgBox("This information has been saved.", MsgButtons::OK, MsgIcon::Information, "Template Saved.");
  Command1.SetEnabled(false);
  Text1.SetText("");
  Text2.SetText("");
  LoadTemplate();
}

// Selecting the entry opens its file again, so the edits are put back after:
// their change handlers then enable "Save Changes", and a retry is one press.
void Form1a::RebuildKeepingTheOpenedEntry() {
  const int index = List1.ListIndex();
  const std::string name = index >= 0 ? File1.List(index) : std::string();
  const std::string subject = txtSubject.Text(), information = txtMessage.Text();
  LoadTemplate();
  const auto& files = File1.Items();
  const auto it = std::find(files.begin(), files.end(), name);
  if (name.empty() || it == files.end()) return;
  reopening_ = true;
  List1.SetListIndex(static_cast<int>(it - files.begin()));
  reopening_ = false;
  txtSubject.SetText(subject);
  txtMessage.SetText(information);
}

}  // namespace tallow::desk
