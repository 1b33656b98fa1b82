// The important-information window as a user meets it in a fresh program
// folder: shown by F12, an entry typed and saved, the window closed and shown
// again with the entry listed.
#include <gtest/gtest.h>

#include "desk/form1a.h"
#include "e2e/desktop_user.h"

namespace tallow::e2e {
namespace {

const std::string kInformation = kAppTitle + " - [ Important Information ]";

using Information = DesktopUser;

TEST_F(Information, F12ShowsItAndASavedEntryIsWrittenAndListedNextTime) {
  desk::Form1a info(app);
  ASSERT_NO_FATAL_FAILURE(StartPastTheWelcome());

  std::string window = TapUntilShown("F12", kInformation);
  ASSERT_FALSE(window.empty()) << "F12 did not show the important-information window";
  Click(window, info.Text2);
  Type("subject");
  Click(window, info.Text1);
  Type("information");
  Screenshot("e2e-information");
  Click(window, info.Command1);  // "Save This Information"
  AnswerBox("Template Saved.");
  EXPECT_EQ(WaitFile(InProgramFolder("data2.txx"), "subject\r\ninformation\r\n"), "subject\r\ninformation\r\n");

  Click(window, info.Command3);  // "Close"
  ASSERT_TRUE(WaitGone(kInformation)) << "\"Close\" left the window open";
  window = TapUntilShown("F12", kInformation);
  ASSERT_FALSE(window.empty()) << "F12 did not show the window again";
  // The entry is listed: opened by a click on the first row.
  Click(window, FirstRow(info.List1));
  EXPECT_EQ(CopyOut(window, info.txtSubject, "subject"), "subject") << "the saved entry is not listed";
  Screenshot("e2e-information-again");
}

TEST_F(Information, OpensWithNothingSelectedAndDeleteThenDeletesNothing) {
  desk::Form1a info(app);
  testing::WriteFile(InProgramFolder("data2.txx"), "Info A\r\nA body\r\n");
  testing::WriteFile(InProgramFolder("data3.txx"), "Info B\r\nB body\r\n");
  ASSERT_NO_FATAL_FAILURE(StartPastTheWelcome());

  const std::string window = TapUntilShown("F12", kInformation);
  ASSERT_FALSE(window.empty()) << "F12 did not show the important-information window";
  Click(window, info.Command4);  // "Delete"
  // Round the whole tab order, through the list and back.
  Xdotool({"key", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab"});
  Click(window, info.Command4);
  Click(window, info.txtSubject);
  Type("x");
  EXPECT_EQ(CopyOut(window, info.txtSubject, "x"), "x") << "an entry was opened";

  // A new entry, saved after both clicks on "Delete": any box of theirs would have come first.
  Click(window, info.Text2);
  Type("new");
  Click(window, info.Text1);
  Type("entry");
  Click(window, info.Command1);  // "Save This Information"
  AnswerBox("Template Saved.");
  EXPECT_EQ(WaitFile(InProgramFolder("data4.txx"), "new\r\nentry\r\n"), "new\r\nentry\r\n");
  EXPECT_TRUE(Visible("Template Deleted").empty());
  EXPECT_EQ(testing::ReadFile(InProgramFolder("data2.txx")), "Info A\r\nA body\r\n");
  EXPECT_EQ(testing::ReadFile(InProgramFolder("data3.txx")), "Info B\r\nB body\r\n");
}

}  // namespace
}  // namespace tallow::e2e
