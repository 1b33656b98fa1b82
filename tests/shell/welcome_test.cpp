// The welcome window: its load through the settings window at start-up, the
// mail choice, the buttons and the hide-welcome check box.
#include <gtest/gtest.h>

#include <filesystem>

#include "desk/form1.h"
#include "desk/setting_man.h"
#include "shell/tutorial.h"
#include "shell/welcome.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

constexpr const char* kExpress = "1:\r\n0:\r\n[END]\r\n";
constexpr const char* kOffice = "0:\r\n1:\r\n[END]\r\n";

class WelcomeTest : public ProgramTest {
 protected:
  std::string Settings() { return ReadFile(InFolder("settings.dat")); }
  shell::Welcome& W() { return *app.Welcome.get(); }
  int VisibleWindows() {
    int n = 0;
    for (Form* f : app.LoadedForms()) n += f->Visible();
    return n;
  }
};

TEST_F(WelcomeTest, FirstStartInAnEmptyFolder) {
  app.Start();
  EXPECT_EQ(Settings(), kExpress);
  ASSERT_TRUE(app.Welcome.IsLoaded());
  EXPECT_TRUE(W().Visible());
  EXPECT_TRUE(W().TopMost());
  EXPECT_EQ(W().Caption(), app.AppTitle);
  EXPECT_FALSE(app.SettingMan.IsLoaded());
  EXPECT_TRUE(app.Form1.IsLoaded());
  EXPECT_FALSE(app.Form1.get()->Visible());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WelcomeTest, StartRewritesTheSettingsWithTheSettingsWindowsChoice) {
  WriteFile(InFolder("settings.dat"), "0:\r\n0:\r\n[END]\r\n");
  app.Start();
  EXPECT_TRUE(W().Option1[1].Value());
  EXPECT_FALSE(W().Option1[0].Value());
  EXPECT_EQ(Settings(), kOffice);
}

TEST_F(WelcomeTest, BothFlagsSetBecomesOutlookExpress) {
  WriteFile(InFolder("settings.dat"), "1:\r\n1:\r\n[END]\r\n");
  app.Start();
  EXPECT_EQ(Settings(), kExpress);
}

TEST_F(WelcomeTest, EveryStartWritesTheSettingsExactlyOnce) {
  WriteFile(InFolder("settings.dat"), "1:\r\n1:\r\n[END]\r\n");
  {
    FileSizeLimit full(0);  // every write fails and is reported: one box per write
    app.Start();
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[0].title, app.AppTitle);
  EXPECT_EQ(Settings(), "1:\r\n1:\r\n[END]\r\n");
  EXPECT_TRUE(app.Form1.IsLoaded());  // the hot keys depend on it
}

// Neither window shows a mail client that the Send Email window would not use.
TEST_F(WelcomeTest, SettingsThatCannotBeReadShowNoChoiceInEitherWindow) {
  std::filesystem::create_directory(InFolder("settings.dat"));
  app.Start();
  ASSERT_EQ(boxes.shown.size(), 1u);  // the start's write of the proposed choice failed
  EXPECT_FALSE(W().Option1[0].Value() || W().Option1[1].Value());
  EXPECT_TRUE(app.Form1.get()->List2.Items().empty());
  auto& settings = app.SettingMan();
  EXPECT_FALSE(settings.Option1[0].Value() || settings.Option1[1].Value());
  User([&] {
    settings.Option1[0].SetValue(true);
    settings.Command1.Press();
  });
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Critical);
  EXPECT_FALSE(settings.Option1[0].Value() || settings.Option1[1].Value());
  User([&] { app.UnloadForm(W(), 0); });  // nothing chosen: nothing to write
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(InFolder("settings.dat")));
}

TEST_F(WelcomeTest, MarkerKeepsEveryWindowHidden) {
  WriteFile(InFolder("showyes.dat"), "NoShow\r\n");
  app.Start();
  ASSERT_TRUE(app.Welcome.IsLoaded());
  EXPECT_EQ(VisibleWindows(), 0);
  EXPECT_TRUE(app.Form1.IsLoaded());
  EXPECT_EQ(W().Check1.Value(), 0);  // not set from the marker
}

TEST_F(WelcomeTest, ButtonsOptionsAndTitleBarClose) {
  app.Start();
  User([&] { W().Command1.Press(); });
  EXPECT_EQ(VisibleWindows(), 0);
  W().Show();
  User([&] { W().Command2.Press(); });
  EXPECT_FALSE(W().Visible());
  ASSERT_TRUE(app.Tutorial.IsLoaded());
  EXPECT_TRUE(app.Tutorial.get()->Visible());
  User([&] { W().Option1[1].SetValue(true); });
  EXPECT_EQ(Settings(), kOffice);
  WriteFile(InFolder("settings.dat"), "edited");
  User([&] { app.UnloadForm(W(), 0); });
  EXPECT_FALSE(app.Welcome.IsLoaded());
  EXPECT_EQ(Settings(), kOffice);
}

TEST_F(WelcomeTest, AfterAFailedWriteTheBoxAndTheOptionsShowWhatTheFilesHold) {
  app.Start();
  FileSizeLimit full(0);
  boxes.answers.push_back(vbYes);
  User([&] { W().Check1.SetValue(1); });
  EXPECT_EQ(W().Check1.Value(), 0);
  EXPECT_FALSE(Exists(InFolder("showyes.dat")));
  User([&] { W().Option1[1].SetValue(true); });
  EXPECT_TRUE(W().Option1[0].Value());
  EXPECT_FALSE(W().Option1[1].Value());
  EXPECT_EQ(Settings(), kExpress);
  EXPECT_EQ(app.Form1.get()->List2.Items(), (std::vector<std::string>{"1", "\n0"}));
  ASSERT_EQ(boxes.shown.size(), 3u);  // the question, then one report per failed write
  EXPECT_EQ(boxes.shown[1].icon, MsgIcon::Critical);
  EXPECT_EQ(boxes.shown[2].icon, MsgIcon::Critical);
}

TEST_F(WelcomeTest, CheckBoxSharesTheSettingsWindowsProcedure) {
  app.Start();
  boxes.answers.push_back(vbYes);
  User([&] { W().Check1.SetValue(1); });
  EXPECT_EQ(ReadFile(InFolder("showyes.dat")), "NoShow\r\n");
  User([&] { W().Check1.SetValue(0); });
  EXPECT_FALSE(Exists(InFolder("showyes.dat")));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace tallow::testing
