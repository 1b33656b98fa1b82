// The utility menu and the note window as a user meets them: notes left in
// data.txt of the directory the program starts from, added to by typing, and
// saved by the close button drawn in the window's picture; and ending from
// outside while they cannot be saved, which keeps the program running.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "desk/form1.h"
#include "e2e/desktop_user.h"
#include "utilities/quick_notes.h"
#include "utilities/utility_browser.h"

namespace tallow::e2e {
namespace {

using QuickNotes = DesktopUser;

TEST_F(QuickNotes, NotesFromTheStartDirectoryAreTypedIntoAndSavedByTheDrawnButton) {
  desk::Form1 sendEmail(app);
  utilities::UtilityBrowser menu(app);
  utilities::QuickNotes notes(app);
  const std::string file = cwd.path() + "/data.txt";  // the program starts in the test's current directory
  testing::WriteFile(file, "Shopping list\r\n");

  StartQuietly();
  const std::string window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Click(window, sendEmail.Command8);  // "Utilities"
  const std::string menuWindow = WaitWindow("Utility Menu");
  ASSERT_FALSE(menuWindow.empty()) << "\"Utilities\" did not show the utility menu";
  Screenshot("e2e-utility-menu");

  Click(menuWindow, menu.Command2);  // "Launch Quick Notes"
  const std::string notesWindow = WaitWindow("Quick Notes!");
  ASSERT_FALSE(notesWindow.empty()) << "\"Launch Quick Notes\" did not open the note window";
  EXPECT_TRUE(WaitGone("Utility Menu")) << "the utility menu stayed";

  // The box holds the file's text.
  EXPECT_EQ(CopyOut(notesWindow, notes.Text1, "Shopping list\n"), "Shopping list\n");

  Key("ctrl+End");
  Type("milk 2%\nbread & \"butter\"");
  Screenshot("e2e-quick-notes");
  Click(notesWindow, notes.Label1);  // the close button drawn in the picture
  EXPECT_TRUE(WaitGone("Quick Notes!")) << "the drawn close button left the note window open";
  EXPECT_EQ(WaitFile(file, "Shopping list\r\nmilk 2%\r\nbread & \"butter\"\r\n"),
            "Shopping list\r\nmilk 2%\r\nbread & \"butter\"\r\n");
  EXPECT_TRUE(ProgramRunning());
}

TEST_F(QuickNotes, EndingFromOutsideWhileTheyCannotBeSavedSaysWhyAndKeepsRunning) {
  desk::Form1 sendEmail(app);
  utilities::UtilityBrowser menu(app);
  utilities::QuickNotes notes(app);
  const std::string file = cwd.path() + "/data.txt";
  testing::WriteFile(file, "Shopping\r\n");
  StartQuietly();
  const std::string window = TapUntilShown("F10", kSendEmail);
  ASSERT_FALSE(window.empty()) << "F10 did not show the Send Email window";
  Click(window, sendEmail.Command8);  // "Utilities"
  const std::string menuWindow = WaitWindow("Utility Menu");
  ASSERT_FALSE(menuWindow.empty()) << "\"Utilities\" did not show the utility menu";
  Click(menuWindow, menu.Command2);  // "Launch Quick Notes"
  const std::string notesWindow = WaitWindow("Quick Notes!");
  ASSERT_FALSE(notesWindow.empty()) << "\"Launch Quick Notes\" did not open the note window";
  Click(notesWindow, notes.Text1);
  Key("ctrl+End");
  Type("call Ann");
  // Something in the file's place that no save can replace.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);

  // Why, in a message box (its words are the window tests' affair).
  SignalProgram(SIGTERM);
  AnswerBox(kAppTitle);
  EXPECT_TRUE(ProgramRunning());
  EXPECT_FALSE(Visible("Quick Notes!").empty()) << "the notes went";

  std::filesystem::remove(file);
  EXPECT_EQ(EndProgramWith(SIGTERM), 0);
  EXPECT_EQ(testing::ReadFile(file), "Shopping\r\ncall Ann\r\n");
}

}  // namespace
}  // namespace tallow::e2e
