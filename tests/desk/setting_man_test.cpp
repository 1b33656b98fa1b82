// The settings window: the mail choice, the hide-welcome check box and the
// template editor.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "desk/form1.h"
#include "desk/form3.h"
#include "desk/setting_man.h"
#include "support/fixture.h"
#include "support/unprivileged.h"

namespace tallow::testing {
namespace {

constexpr const char* kExpress = "1:\r\n0:\r\n[END]\r\n";
constexpr const char* kOffice = "0:\r\n1:\r\n[END]\r\n";
using Items = std::vector<std::string>;

class SettingManTest : public ProgramTest {
 protected:
  SettingManTest() { SetTexts(); }
  std::string Settings() { return ReadFile(InFolder("settings.dat")); }
  void OpenTemplate(desk::SettingMan& w, int i) {
    User([&] {
      w.List2.SetListIndex(i);
      w.List2.DoubleClick();
    });
  }
  void Edit(desk::SettingMan& w, const std::string& subject, const std::string& message) {
    User([&] {
      w.txtSubject.SetText(subject);
      w.txtMessage.SetText(message);
    });
  }
};

struct Choice {
  const char* name;
  const char* file;  // nullptr: no settings file
  int shown;         // the option shown on: 0 Outlook Express, 1 Outlook (Office), -1 neither
};
void PrintTo(const Choice& c, std::ostream* os) { *os << c.name; }

class MailChoiceTest : public SettingManTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(MailChoiceTest, OptionsShowWhatSendUsesAndSaveWritesExactlyOneFlag) {
  const Choice& c = GetParam();
  if (c.file) WriteFile(InFolder("settings.dat"), c.file);
  auto& w = app.SettingMan();
  EXPECT_EQ(w.Option1[0].Value(), c.shown == 0);
  EXPECT_EQ(w.Option1[1].Value(), c.shown == 1);
  User([&] { w.Command1.Press(); });
  if (c.shown < 0) {  // nothing to save until the user chooses
    ExpectBox(0, "Please select your default mail client.", MsgIcon::Critical, app.AppTitle);
    EXPECT_EQ(Exists(InFolder("settings.dat")), c.file != nullptr);
    User([&] { w.Option1[1].SetValue(true); });
    boxes.shown.clear();
    User([&] { w.Command1.Press(); });
  }
  EXPECT_EQ(Settings(), c.shown == 0 ? kExpress : kOffice);
  ExpectBox(0, "Settings have been changed.", MsgIcon::Information, "Settings Saved");
  EXPECT_TRUE(app.Form1.IsLoaded());  // made to re-read the file
}

INSTANTIATE_TEST_SUITE_P(Files, MailChoiceTest,
                         ::testing::Values(Choice{"Express", kExpress, 0}, Choice{"Office", kOffice, 1},
                                           Choice{"NoFlagSet", "0:\r\n0:\r\n[END]\r\n", -1},
                                           Choice{"BothFlagsSet", "1:\r\n1:\r\n[END]\r\n", 0},
                                           Choice{"BlankBeforeZero", " 0:\r\n1:\r\n[END]\r\n", 1},
                                           Choice{"TwoZeros", "00:\r\n1:\r\n[END]\r\n", 1},
                                           Choice{"OneAndAHalf", "0:\r\n1.5:\r\n[END]\r\n", 1},
                                           Choice{"EmptyFile", "", -1}, Choice{"NoFile", nullptr, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingManTest, OptionsExcludeEachOtherAndAnUnsavedChangeIsLost) {
  WriteFile(InFolder("settings.dat"), kExpress);
  auto& w = app.SettingMan();
  User([&] { w.Option1[1].SetValue(true); });
  EXPECT_FALSE(w.Option1[0].Value());
  User([&] { w.Command5.Press(); });
  EXPECT_FALSE(app.SettingMan.IsLoaded());
  EXPECT_EQ(Settings(), kExpress);
  EXPECT_TRUE(app.SettingMan().Option1[0].Value());
}

TEST_F(SettingManTest, HideWelcomeCheckBox) {
  EXPECT_EQ(app.SettingMan().Check1.Value(), 0);  // no marker: unchecked, nothing asked
  User([&] { app.SettingMan().Command5.Press(); });
  WriteFile(InFolder("showyes.dat"), "old");
  auto& w = app.SettingMan();
  EXPECT_EQ(w.Check1.Value(), 1);
  EXPECT_TRUE(boxes.shown.empty());
  User([&] { w.Check1.SetValue(0); });  // unchecking deletes without a question
  EXPECT_FALSE(Exists(InFolder("showyes.dat")));
  boxes.answers.push_back(vbYes);
  User([&] { w.Check1.SetValue(1); });
  ExpectBox(0, "Are you sure you want to hide this screen in the future?", MsgIcon::None, app.AppTitle);
  EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ReadFile(InFolder("showyes.dat")), "NoShow\r\n");
  User([&] { w.Check1.SetValue(0); });
  WriteFile(InFolder("showyes.dat"), "NoShow\r\n");
  boxes.answers.push_back(vbNo);
  User([&] { w.Check1.SetValue(1); });
  EXPECT_EQ(boxes.shown.size(), 2u);  // the nested run asks nothing
  EXPECT_EQ(w.Check1.Value(), 0);
  EXPECT_FALSE(Exists(InFolder("showyes.dat")));
}

// A marker in a folder made read-only cannot be deleted: as nobody, since
// root may delete it anyway.
TEST_F(SettingManTest, AMarkerThatCannotBeDeletedIsReportedOnceAndStaysTicked) {
  WriteFile(InFolder("showyes.dat"), "NoShow\r\n");
  auto& w = app.SettingMan();
  GiveToNobody(folder.path());
  AsNobody([&] {
    const auto stuck = [&](bool yes) { ::chmod(folder.path().c_str(), yes ? 0555 : 0700); };
    stuck(true);
    User([&] { w.Check1.SetValue(0); });  // unchecking
    ASSERT_EQ(boxes.shown.size(), 1u);
    ExpectBox(0,
              "The choice to show the welcome screen could not be saved, as showyes.dat could not be deleted: "
              "Permission denied.",
              MsgIcon::Critical, app.AppTitle);
    EXPECT_EQ(w.Check1.Value(), 1);  // the marker is still there
    stuck(false);
    User([&] { w.Check1.SetValue(0); });
    WriteFile(InFolder("showyes.dat"), "NoShow\r\n");  // back by other means, the box unticked
    boxes.shown.clear();
    stuck(true);
    boxes.answers.push_back(vbNo);
    User([&] { w.Check1.SetValue(1); });  // checking, then No: the nested run tries the delete
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Critical);
    EXPECT_EQ(w.Check1.Value(), 1);
    EXPECT_TRUE(Exists(InFolder("showyes.dat")));
    stuck(false);
  });
}

TEST_F(SettingManTest, SaveWithNothingOpenWritesTheNextFreeNumberAndRefreshesAllThreeLists) {
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  WriteFile(InFolder("data2.txt"), "Two\r\n2\r\n");
  auto& w = app.SettingMan();
  EXPECT_FALSE(w.Command2.Enabled());
  User([&] { w.txtSubject.SetText("Three"); });
  EXPECT_FALSE(w.Command2.Enabled());
  User([&] { w.txtMessage.SetText("3"); });
  EXPECT_TRUE(w.Command2.Enabled());
  User([&] { w.Command2.Press(); });
  EXPECT_EQ(ReadFile(InFolder("data3.txt")), "Three\r\n3\r\n");
  ExpectBox(0, "This template has been saved.", MsgIcon::Information, "Template Saved.");
  EXPECT_FALSE(w.Command2.Enabled());
  const Items all{"One", "Two", "Three"};
  EXPECT_EQ(w.List2.Items(), all);
  ASSERT_TRUE(app.Form3.IsLoaded());
  EXPECT_FALSE(app.Form3.get()->Visible());
  EXPECT_EQ(app.Form3.get()->List1.Items(), all);
  EXPECT_EQ(app.Form1().List1.Items(), all);
  Edit(w, "Three", "three");  // a further save rewrites the same file
  User([&] { w.Command2.Press(); });
  EXPECT_EQ(ReadFile(InFolder("data3.txt")), "Three\r\nthree\r\n");
  // With data1 gone, the rule names data3 again, which exists: the next free number.
  std::remove(InFolder("data1.txt").c_str());
  User([&] { w.Command3.Press(); });
  EXPECT_EQ(w.Text3.Text(), "data4.txt");
  User([&] { w.Command3.Press(); });
  EXPECT_EQ(w.Text3.Text(), "data4.txt");
  EXPECT_FALSE(Exists(InFolder("data4.txt")));
}

TEST_F(SettingManTest, OpenEditSaveWritesTheOpenTemplateWithOneMoreLineEnd) {
  WriteFile(InFolder("data10.txt"), "Ten\r\n10\r\n");
  WriteFile(InFolder("data2.txt"), "Two\r\nline\r\n");
  auto& w = app.SettingMan();
  EXPECT_EQ(w.List2.Items(), (Items{"Ten", "Two"}));
  OpenTemplate(w, 1);
  EXPECT_EQ(w.txtMessage.Text(), "line\r\n");
  EXPECT_FALSE(w.Command2.Enabled());
  EXPECT_TRUE(w.Command4.Enabled());
  User([&] {
    w.List2.SetListIndex(0);  // selecting another does not change the open one
    w.txtSubject.SetText("Twos");
    w.Command2.Press();
  });
  EXPECT_EQ(ReadFile(InFolder("data2.txt")), "Twos\r\nline\r\n\r\n");
  EXPECT_EQ(ReadFile(InFolder("data10.txt")), "Ten\r\n10\r\n");
}

TEST_F(SettingManTest, ASubjectPastedWithALineBreakIsSavedOnOneLine) {
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  auto& w = app.SettingMan();
  OpenTemplate(w, 0);
  Edit(w, "First\r\nSecond", "1\r\n");
  User([&] { w.Command2.Press(); });
  EXPECT_EQ(ReadFile(InFolder("data1.txt")), "First Second\r\n1\r\n\r\n");
  EXPECT_EQ(w.List2.Items(), Items{"First Second"});
}

TEST_F(SettingManTest, DoubleClickWithNothingSelectedDoesNothing) {
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  auto& w = app.SettingMan();
  OpenTemplate(w, 0);
  Edit(w, "One", "edited");
  User([&] {
    w.List2.SetListIndex(-1);
    w.List2.DoubleClick();
  });
  EXPECT_EQ(w.Text3.Text(), "data1.txt");
  EXPECT_EQ(w.txtMessage.Text(), "edited");
  EXPECT_TRUE(w.Command2.Enabled());
}

TEST_F(SettingManTest, DeleteRemovesTheSelectedTemplateAndKeepsTheOpenText) {
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  WriteFile(InFolder("data2.txt"), "Two\r\n2\r\n");
  auto& w = app.SettingMan();
  OpenTemplate(w, 0);
  User([&] { w.Command4.Press(); });
  EXPECT_FALSE(Exists(InFolder("data1.txt")));
  ExpectBox(0, "Template Deleted: \r\n\r\nOne\r\n\r\nThis template has been removed.", MsgIcon::Information,
            "Template Deleted");
  EXPECT_EQ(w.List2.Items(), Items{"Two"});
  EXPECT_EQ(app.Form3.get()->List1.Items(), Items{"Two"});
  EXPECT_EQ(app.Form1().List1.Items(), Items{"Two"});
  User([&] { w.Command4.Press(); });  // still enabled, nothing selected: nothing
  EXPECT_EQ(boxes.shown.size(), 1u);
  Edit(w, "One", "back");
  User([&] { w.Command2.Press(); });
  EXPECT_EQ(ReadFile(InFolder("data1.txt")), "One\r\nback\r\n");
}

TEST_F(SettingManTest, NewTemplateKeepsTheListInStepWithItsFiles) {
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  auto& w = app.SettingMan();
  // A file that sorts first appears while the window is open.
  WriteFile(InFolder("a.txt"), "Other\r\n2\r\n");
  User([&] { w.Command3.Press(); });
  EXPECT_EQ(w.Text3.Text(), "data3.txt");
  User([&] {
    w.List2.SetListIndex(0);  // "One", as the list still shows it
    w.Command4.Press();
  });
  EXPECT_FALSE(Exists(InFolder("data1.txt")));
  EXPECT_TRUE(Exists(InFolder("a.txt")));
}

TEST_F(SettingManTest, FailuresAreReportedAndNothingElseChanges) {
  WriteFile(InFolder("settings.dat"), kOffice);
  WriteFile(InFolder("data1.txt"), "One\r\n1\r\n");
  auto& w = app.SettingMan();
  Edit(w, "New", "n");
  {
    FileSizeLimit full(0);
    User([&] {
      w.Option1[0].SetValue(true);
      w.Command1.Press();
      w.Command2.Press();
      boxes.answers.push_back(vbYes);
      w.Check1.SetValue(1);
    });
  }
  std::remove(InFolder("data1.txt").c_str());  // gone by other means
  User([&] {
    w.List2.SetListIndex(0);
    w.Command4.Press();
  });
  ASSERT_EQ(boxes.shown.size(), 5u);
  for (size_t i : {0, 1, 3, 4}) {
    EXPECT_EQ(boxes.shown[i].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[i].title, app.AppTitle);
  }
  EXPECT_NE(boxes.shown[0].prompt.find("settings.dat"), std::string::npos);
  EXPECT_NE(boxes.shown[1].prompt.find("data2.txt"), std::string::npos);
  EXPECT_NE(boxes.shown[3].prompt.find("showyes.dat"), std::string::npos);
  EXPECT_NE(boxes.shown[4].prompt.find("data1.txt"), std::string::npos);
  EXPECT_EQ(Settings(), kOffice);
  EXPECT_TRUE(w.Option1[1].Value());  // the window shows what the files hold
  EXPECT_FALSE(w.Option1[0].Value());
  EXPECT_EQ(w.Check1.Value(), 0);
  EXPECT_FALSE(Exists(InFolder("data2.txt")));
  EXPECT_FALSE(Exists(InFolder("showyes.dat")));
  EXPECT_TRUE(w.Command2.Enabled());  // the save is still on offer
  EXPECT_EQ(w.List2.Items(), Items{"One"});
  EXPECT_FALSE(app.Form1.IsLoaded());
  EXPECT_FALSE(app.Form3.IsLoaded());
}

}  // namespace
}  // namespace tallow::testing
