// The tutorial window: its page, on top, navigated once per load.
#include <gtest/gtest.h>

#include "shell/tutorial.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

// Counts what the desktop would be told of the web view: each navigation is one.
class CountingView : public View {
 public:
  int changes = 0;
  void Changed() override { ++changes; }
};

class TutorialTest : public ProgramTest {
 protected:
  TutorialTest() { SetTexts(); }
  shell::Tutorial& Show() {
    User([&] { app.Tutorial().Show(); });
    return *app.Tutorial.get();
  }
};

TEST_F(TutorialTest, AsksForTheTutorialPageWithOneSlashWhateverTheSiteEndsWith) {
  EXPECT_EQ(Show().WebBrowser1.LocationURL(), "https://tallowmark.example/tutorial/");
  for (const char* site : {"http://127.0.0.1:8080", "http://127.0.0.1:8080/", "http://127.0.0.1:8080//"}) {
    User([&] { app.Tutorial.get()->Unload(); });
    app.SiteURL = site;
    EXPECT_EQ(Show().WebBrowser1.LocationURL(), "http://127.0.0.1:8080/tutorial/") << site;
  }
  EXPECT_EQ(shell::TutorialAddress("http://h/docs"), "http://h/docs/tutorial/");
}

TEST_F(TutorialTest, OnTopFromItsLoadAndNavigatesOncePerLoad) {
  shell::Tutorial& w = Show();
  EXPECT_EQ(w.Caption(), app.AppTitle);
  EXPECT_TRUE(w.TopMost());
  EXPECT_TRUE(w.Visible());

  CountingView view;
  w.WebBrowser1.view = &view;
  User([&] { app.Tutorial().Show(); });
  User([&] { app.Tutorial().Show(); });
  EXPECT_EQ(view.changes, 0);  // shown again, not reloaded
  EXPECT_EQ(app.Tutorial.get(), &w);
  w.WebBrowser1.view = nullptr;

  User([&] { app.UnloadForm(w, 0); });  // the title bar
  EXPECT_FALSE(app.Tutorial.IsLoaded());
  EXPECT_EQ(windows.detached.back(), "Tutorial");
  shell::Tutorial& again = Show();
  EXPECT_EQ(again.WebBrowser1.LocationURL(), "https://tallowmark.example/tutorial/");
  EXPECT_TRUE(again.TopMost());
}

}  // namespace
}  // namespace tallow::testing
