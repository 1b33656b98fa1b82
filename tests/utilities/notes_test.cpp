// The utility menu, the scratch pad and the note window with its data.txt in
// the current directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "desk/form1.h"
#include "support/fixture.h"
#include "utilities/quick_notes.h"
#include "utilities/top_pad.h"
#include "utilities/utility_browser.h"

namespace tallow::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDesign = "Save quick notes here.  This window automatically saves and loads.\r\n";

class NotesTest : public ProgramTest {
 protected:
  NotesTest() { SetTexts(); }
  std::string Notes() const { return cwd.path() + "/data.txt"; }
  // "Utilities" in the Send Email window.
  utilities::UtilityBrowser& Menu() {
    User([&] { app.Form1().Command8.Press(); });
    return *app.UtilityBrowser.get();
  }
  utilities::QuickNotes& LaunchNotes() {
    User([&] { Menu().Command2.Press(); });
    return *app.QuickNotes.get();
  }
  utilities::TopPad& LaunchPad() {
    User([&] { Menu().Command1.Press(); });
    return *app.TopPad.get();
  }
  void CloseFromTitleBar(Form& w) {
    User([&] { app.UnloadForm(w, 0); });
  }
  void OpenAndClose() { CloseFromTitleBar(LaunchNotes()); }
};

TEST_F(NotesTest, UtilityMenuLaunchesEachPadThenHidesAndUnloadsWhenClosed) {
  utilities::UtilityBrowser& m = Menu();
  EXPECT_TRUE(m.Visible());
  EXPECT_FALSE(app.Form1.get()->Visible());
  EXPECT_TRUE(LaunchPad().Visible());
  EXPECT_FALSE(m.Visible());
  EXPECT_TRUE(LaunchNotes().Visible());
  EXPECT_FALSE(m.Visible());
  EXPECT_EQ(app.UtilityBrowser.get(), &m);  // hidden, still loaded
  CloseFromTitleBar(m);
  EXPECT_FALSE(app.UtilityBrowser.IsLoaded());
}

TEST_F(NotesTest, ScratchTextLivesAsLongAsThePad) {
  utilities::TopPad& pad = LaunchPad();
  EXPECT_TRUE(pad.TopMost());
  User([&] { pad.Text1.SetText("copied\r\nfrom elsewhere"); });
  EXPECT_EQ(LaunchPad().Text1.Text(), "copied\r\nfrom elsewhere");
  CloseFromTitleBar(pad);
  EXPECT_EQ(LaunchPad().Text1.Text(), "");
  EXPECT_TRUE(fs::is_empty(cwd.path()));  // nothing saved
}

TEST_F(NotesTest, WithoutANotesFileEachOpenAndCloseAddsOneCrLf) {
  utilities::QuickNotes& w = LaunchNotes();
  EXPECT_EQ(w.Caption(), "Quick Notes!");
  EXPECT_FALSE(w.TopMost());
  EXPECT_EQ(w.Text1.Text(), kDesign);
  CloseFromTitleBar(w);
  EXPECT_FALSE(app.QuickNotes.IsLoaded());
  EXPECT_EQ(ReadFile(Notes()), kDesign + "\r\n");
  EXPECT_FALSE(Exists(InFolder("data.txt")));  // the current directory, not the program folder
  OpenAndClose();
  OpenAndClose();
  EXPECT_EQ(ReadFile(Notes()), kDesign + "\r\n\r\n\r\n");
}

TEST_F(NotesTest, DrawnCloseButtonAndTitleBarLeaveTheSameFile) {
  WriteFile(Notes(), "list\r\n");
  utilities::QuickNotes& w = LaunchNotes();
  EXPECT_EQ(w.Text1.Text(), "list\r\n");
  User([&] { w.Text1.SetText("milk\r\nbread"); });
  User([&] { w.Label1.Click(); });
  EXPECT_FALSE(app.QuickNotes.IsLoaded());
  const std::string byButton = ReadFile(Notes());
  EXPECT_EQ(byButton, "milk\r\nbread\r\n");

  WriteFile(Notes(), "list\r\n");
  utilities::QuickNotes& again = LaunchNotes();
  User([&] { again.Text1.SetText("milk\r\nbread"); });
  CloseFromTitleBar(again);
  EXPECT_EQ(ReadFile(Notes()), byButton);
}

TEST_F(NotesTest, LaunchWhileOpenKeepsTheEditsAndDoesNotReread) {
  WriteFile(Notes(), "on disk\r\n");
  utilities::QuickNotes& w = LaunchNotes();
  User([&] { w.Text1.SetText("edited"); });
  WriteFile(Notes(), "changed meanwhile\r\n");
  EXPECT_EQ(&LaunchNotes(), &w);
  EXPECT_EQ(w.Text1.Text(), "edited");
}

TEST_F(NotesTest, WhatTheLoadMakesOfOddFiles) {
  WriteFile(Notes(), "");
  utilities::QuickNotes& w = LaunchNotes();
  EXPECT_EQ(w.Text1.Text(), "");  // an empty file is an empty note, not the design text
  CloseFromTitleBar(w);
  EXPECT_EQ(ReadFile(Notes()), "\r\n");

  fs::remove(Notes());
  fs::create_directory(Notes());
  EXPECT_EQ(LaunchNotes().Text1.Text(), kDesign);  // unreadable: the design text, and why
  ExpectBox(0, "The notes could not be read from " + Notes() + ": Is a directory.", MsgIcon::Critical, app.AppTitle);
}

// Notes that could not be read are never replaced: the window opened on them
// closes untouched without a write, and a text typed there is refused.
TEST_F(NotesTest, NotesThatCannotBeReadAreToldAndNeverReplaced) {
  WriteFile(Notes(), "");
  ASSERT_EQ(::truncate(Notes().c_str(), 100LL << 30), 0);  // 100 GB, sparse: too large to hold
  const std::string tooLarge = ": File too large (over 8 MB).";
  CloseFromTitleBar(LaunchNotes());
  EXPECT_FALSE(app.QuickNotes.IsLoaded());
  ExpectBox(0, "The notes could not be read from " + Notes() + tooLarge, MsgIcon::Critical, app.AppTitle);

  utilities::QuickNotes& w = LaunchNotes();
  EXPECT_EQ(w.Text1.Text(), kDesign);
  User([&] { w.Text1.SetText("typed"); });
  CloseFromTitleBar(w);
  ExpectBox(2, "The notes could not be saved to " + Notes() + tooLarge, MsgIcon::Critical, app.AppTitle);
  EXPECT_TRUE(app.QuickNotes.IsLoaded());
  EXPECT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(fs::file_size(Notes()), 100ULL << 30);
}

TEST_F(NotesTest, OlderNotesInWindows1252AreTextAndKeepTheirBytes) {
  WriteFile(Notes(), "caf\xE9\r\n");
  utilities::QuickNotes& w = LaunchNotes();
  EXPECT_EQ(w.Text1.Text(), "café\r\n");
  User([&] { w.Text1.SetText(w.Text1.Text() + "th\xC3\xA9"); });
  CloseFromTitleBar(w);
  EXPECT_EQ(ReadFile(Notes()), "caf\xE9\r\nth\xE9\r\n");
}

TEST_F(NotesTest, NotesFileInTheProgramFolderIsListedAsATemplate) {
  fs::current_path(folder.path());
  OpenAndClose();
  ASSERT_TRUE(Exists(InFolder("data.txt")));
  desk::Form1& f = app.Form1();
  User([&] { f.LoadTemplate(); });
  ASSERT_EQ(f.List1.ListCount(), 1);
  EXPECT_EQ(f.List1.List(0), "Save quick notes here.  This window automatically saves and loads.");
}

// A save that fails is told, keeps the window with its text and the old file.
TEST_F(NotesTest, FailedSaveKeepsTheWindowTheTextAndTheOldFile) {
  WriteFile(Notes(), "old notes\r\n");
  utilities::QuickNotes& w = LaunchNotes();
  User([&] { w.Text1.SetText("new notes"); });
  {
    FileSizeLimit full(4);
    CloseFromTitleBar(w);
    User([&] { w.Label1.Click(); });
  }
  ASSERT_EQ(boxes.shown.size(), 2u);  // one per attempt: the button does not go on to unload
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(boxes.shown[0].prompt, "The notes could not be saved to " + Notes() + ": File too large.");
  EXPECT_TRUE(app.QuickNotes.IsLoaded());
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Text1.Text(), "new notes");
  EXPECT_EQ(ReadFile(Notes()), "old notes\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(cwd.path()), fs::directory_iterator()), 1);

  // A folder in the file's place, then a current directory that is gone.
  fs::remove(Notes());
  fs::create_directory(Notes());
  CloseFromTitleBar(w);
  EXPECT_EQ(boxes.shown.back().prompt, "The notes could not be saved to " + Notes() + ": Is a directory.");
  fs::remove(Notes());
  fs::remove(cwd.path());
  CloseFromTitleBar(w);
  EXPECT_EQ(boxes.shown.back().prompt, "The notes could not be saved to " + Notes() + ": No such file or directory.");
  EXPECT_EQ(boxes.shown.size(), 4u);
  EXPECT_TRUE(app.QuickNotes.IsLoaded());
  EXPECT_EQ(w.Text1.Text(), "new notes");
}

// Ending the program saves an open note window as its close would, and
// nothing else: no window unloads.
TEST_F(NotesTest, EndSavesOpenNotesOrStaysWhenTheyCannotBeSaved) {
  app.End();
  EXPECT_TRUE(clock.ended);
  EXPECT_FALSE(Exists(Notes()));

  clock.ended = false;
  WriteFile(Notes(), "old\r\n");
  utilities::QuickNotes& w = LaunchNotes();
  User([&] { w.Text1.SetText("typed since"); });
  {
    FileSizeLimit full(2);
    User([&] { app.End(); });
  }
  EXPECT_FALSE(clock.ended);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(ReadFile(Notes()), "old\r\n");
  EXPECT_TRUE(app.QuickNotes.IsLoaded());

  User([&] { app.End(); });
  EXPECT_TRUE(clock.ended);
  EXPECT_EQ(ReadFile(Notes()), "typed since\r\n");
  EXPECT_TRUE(app.QuickNotes.IsLoaded());
  EXPECT_TRUE(windows.detached.empty());
}

}  // namespace
}  // namespace tallow::testing
