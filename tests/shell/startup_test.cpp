// Start-up and the program-wide texts.
#include <gtest/gtest.h>

#include "mail/footers.h"
#include "shell/frm_sys_tray.h"
#include "shell/shift.h"
#include "shell/welcome.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, TextsAreSetAndTheStartUpWindowIsGone) {
  app.Start();
  EXPECT_EQ(app.SiteURL, "https://tallowmark.example");
  EXPECT_EQ(app.SiteURL.back() == '/', false);
  EXPECT_EQ(app.AppTitle.rfind("Tallowmark By ", 0), 0u);
  EXPECT_EQ(app.MailFooter, mail::BuildMailFooter(app.AppTitle, app.SiteURL));
  EXPECT_FALSE(app.Shift.IsLoaded());
  ASSERT_TRUE(app.ToolbarShift.IsLoaded());
  EXPECT_FALSE(app.ToolbarShift.get()->Visible());
  EXPECT_EQ(app.ToolbarShift.get()->Caption(), app.AppTitle);
  ASSERT_TRUE(app.FrmSysTray.IsLoaded());
  EXPECT_EQ(app.FrmSysTray.get()->FSys.get(), app.ToolbarShift.get());
  EXPECT_TRUE(app.Welcome.IsLoaded());
}

}  // namespace
}  // namespace tallow::testing
