// A user at the real desktop: the program copied into a fresh program folder
// of its own and run on a virtual X display of the test's own with trayer as
// the notification area, driven only by what a user does (keys, clicks, the
// clipboard) and checked by windows, files and the local mailbox.
//
// Where a control sits is taken from the window's own design, read from a
// model-only instance of the same window class, so that the clicks follow
// the windows wherever their layout goes.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/xserver.h"
#include "shell/shift.h"
#include "support/fixture.h"

typedef struct _XDisplay Display;

namespace tallow::e2e {

inline const std::string kAppTitle = shell::ProgramTitle();
inline const std::string kSendEmail = kAppTitle + " - [ Send Email ]";
// What the Outlook Express road puts after every message, with the local mail
// system's line ends.
inline const std::string kExpressFooter = "\n\n\n-----------------------\n\n" + kAppTitle + "\n\n   \n";

struct Point {
  int x = 0, y = 0;
};

// The centre of a control, relative to its window's client area: its design
// geometry plus that of the frames that hold it.
Point Centre(const Control& control);
// A point inside the first row of a list.
Point FirstRow(const ListBox& list);

// Runs a program and returns what it wrote on its output; `status` gets its exit status.
std::string Capture(const std::vector<std::string>& argv, int* status = nullptr);

class DesktopUser : public testing::ProgramTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // ---- the program ----
  std::string InProgramFolder(const std::string& name) const { return programFolder_ + "/" + name; }
  // Starts it. `wrapper`, when given, runs the shell that starts it (unshare
  // with its options, say), and `setup` is a shell command run there first.
  void StartProgram(const std::vector<std::string>& wrapper = {}, const std::string& setup = "");
  // Starts it in a fresh folder as a new user does: the welcome window shows
  // and "Ready!" hides it.
  void StartPastTheWelcome();
  // Starts it as every start after the first: the mail road chosen and the
  // welcome window hidden for good, so that nothing shows until F10.
  void StartQuietly(const std::vector<std::string>& wrapper = {}, const std::string& setup = "");
  // What the program has written on its standard error so far.
  std::string ProgramErrors() const;
  // True once it has written `text` there (within 10 s).
  bool WaitErrors(const std::string& text);
  // Starts another copy of the program from `exe` while the first runs (in
  // the runtime folder `runtime` when given), answers the message box it
  // shows and waits for it to end: its exit status (-1 when a signal ended
  // it, -2 when it still ran after 10 s and was killed), with its standard
  // error in `errors`.
  int StartAnotherCopy(const std::string& exe, std::string& errors, const std::string& runtime = "");
  // Ends it as the system ends a program at logout.
  void EndProgram();
  // Sends it the signal, as `kill` does.
  void SignalProgram(int signal);
  // Sends it the signal and waits for it to end: its exit status, or -1 when
  // the signal killed it or it did not end within 10 s (it is then killed).
  int EndProgramWith(int signal);
  bool ProgramRunning();
  // Its resident memory, in KiB (0 when it is not running).
  long ProgramResidentKiB() const;
  // Waits for the program to end by itself: its exit status, -1 when a
  // signal ended it, -2 when it still runs after 10 s.
  int WaitProgramEnd();

  // ---- the notification area (trayer) ----
  void StartNotificationArea();
  void StopNotificationArea();
  // The program's icon once it is docked in the notification area and has
  // flashed (the program has finished starting by then), or "" after 10 s.
  std::string WaitTrayIcon();
  // True once no icon of the program is in the notification area (within 10 s).
  bool WaitTrayIconGone();
  // The pixels a window shows now.
  std::string Pixels(const std::string& window);
  // The window's next picture: its pixels once they differ from `now` and
  // have settled, or "" when they have not changed within 10 s.
  std::string NextPicture(const std::string& window, const std::string& now);
  // Presses and releases a mouse button on a window, at its centre.
  void MouseDown(const std::string& window, int button);
  void MouseUp(int button);

  // ---- windows ----
  // The visible windows titled exactly `title`.
  std::vector<std::string> Visible(const std::string& title);
  // The visible top-level windows of the running program, whatever their titles.
  std::vector<std::string> ProgramWindows();
  // The window once it is visible, or "" after 10 s.
  std::string WaitWindow(const std::string& title);
  // Taps the key every 2 s until the window shows; "" when it has not after 10 s.
  std::string TapUntilShown(const std::string& key, const std::string& title);
  // True once no window of that title is visible (within 10 s).
  bool WaitGone(const std::string& title);
  // Closes a window as the close button of a window manager does (WM_DELETE_WINDOW).
  void CloseWindow(const std::string& window);
  void Click(const std::string& window, Point at);
  void Click(const std::string& window, const Control& control) { Click(window, Centre(control)); }
  // Types into the window that has the keyboard focus.
  void Type(const std::string& text);
  // What a box holds, copied out of it as a user would (a click into it,
  // ctrl+a, ctrl+c): the clipboard once it holds `expected`, or after 10 s.
  std::string CopyOut(const std::string& window, const Control& box, const std::string& expected);
  // Presses keys, as xdotool names them ("F10", "ctrl+a", "Down").
  void Key(const std::string& keys);
  // Runs xdotool with these arguments; its failure fails the test.
  void Xdotool(const std::vector<std::string>& args);
  // Waits for a modal message box and answers it with Return.
  void AnswerBox(const std::string& title);

  // ---- the clipboard, as another program holds it ----
  void PutOnClipboard(const std::string& text);
  std::string ClipboardText();
  // The clipboard once it holds `expected`, or what it holds after 10 s.
  std::string WaitClipboard(const std::string& expected);

  // ---- files and mail ----
  // Everything in the program folder, sorted, folders ending in "/".
  std::vector<std::string> ProgramFolderListing() const;
  // The file once it holds `expected`, or what it holds after 10 s.
  std::string WaitFile(const std::string& path, const std::string& expected);
  // The header block and the body of the message holding `token` in the
  // local mailbox, once it has arrived (both empty after 10 s).
  std::pair<std::string, std::string> Delivered(const std::string& token);
  // An address the local mail system delivers into that mailbox.
  std::string LocalAddress() const;
  // A text no other test's mail holds.
  std::string Token() const;

  // ---- another program's window that takes the keyboard focus ----
  // Starts it; true once it has the focus. TypedText() is what it holds.
  bool StartTextWindow();
  std::string TypedText();
  // The text window's text once it is `expected`, or what it is after 10 s.
  std::string WaitTyped(const std::string& expected);

  // A picture of the whole screen, kept in the folder named by the
  // environment variable TALLOWMARK_SHOTS (none taken without it).
  void Screenshot(const std::string& name);

  std::string programFolder_;

 private:
  std::string ErrorsFile() const;
  testing::TempDir testFolder_;
  std::unique_ptr<desktop::testing::XServer> server_;
  pid_t trayer_ = -1, program_ = -1, clipboard_ = -1, textWindow_ = -1;
  // True when the window is inside the notification area (trayer's windows).
  bool InNotificationArea(const std::string& window);
  // The program's icon in the notification area now, or "".
  std::string DockedIcon();

  Display* display_ = nullptr;  // the test's own connection, for what xdotool cannot tell
};

}  // namespace tallow::e2e
