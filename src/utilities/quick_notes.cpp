#include "utilities/quick_notes.h"

#include "platform/text.h"
#include "program.h"
#include "report_failure.h"
#include "stores/files.h"

namespace tallow::utilities {

QuickNotes::QuickNotes(Program& app)
    : Window(app, "QuickNotes"),
      Image1(*this, "Image1", nullptr, "quicknotes"),
      Text1(*this, "Text1", nullptr, "Save quick notes here.  This window automatically saves and loads.\r\n"),
      Label1(*this, "Label1") {
  SetCaption("Quick Notes!");
  icon = "flash1";  // the host window's picture: the mail desk's windows carry "program"
  backColor = 0xD3D3D3;
  // The picture's panel frames the note box; its button lies under Label1.
  geometry = {0, 0, 360, 300};
  Image1.geometry = {0, 0, 360, 300};
  Text1.multiLine = true;
  Text1.backColor = 0xFFFFFF;  // a box of its own colour, not the window's grey
  Text1.geometry = {20, 20, 320, 220};
  Label1.geometry = {262, 258, 86, 30};

  Label1.Click = [this] { Label1_Click(); };
}

std::string QuickNotes::NotesPath() {
  const std::string folder = svc().env.CurrentDirectory();
  return folder.empty() ? std::string(stores::kNotesFile) : stores::JoinPath(folder, stores::kNotesFile);
}

// Every byte of the file, its closing CR LF too: each open and close adds one.
void QuickNotes::LoadTheData() {
  std::string bytes, why;
  if (stores::ReadWholeFile(stores::kNotesFile, bytes, &why)) Text1.SetText(text::ToUtf8(bytes));
  if (why.empty()) return;
  unreadText_ = Text1.Text();
  ReportFailure(app, "The notes could not be read from " + NotesPath(), why);
}

bool QuickNotes::SaveIt() {
  // Notes that could not be read, with nothing typed since: nothing to keep,
  // and the file stays as it is.
  if (unreadText_ && Text1.Text() == *unreadText_) return true;
  std::string why;
  if (stores::WriteWholeText(stores::kNotesFile, Text1.Text(), &why)) return true;
  ReportFailure(app, "The notes could not be saved to " + NotesPath(), why);
  return false;
}

void QuickNotes::Form_Load() { LoadTheData(); }

// Notes that could not be saved keep the window open, so that nothing typed is lost.
void QuickNotes::Form_Unload(int& cancel) {
  if (!SaveIt()) cancel = 1;
}

// Saves, then unloads, which saves once more.
void QuickNotes::Label1_Click() {
  if (SaveIt()) Unload();
}

}  // namespace tallow::utilities
