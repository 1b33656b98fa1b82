// Start-up and the program-wide texts.
#include <gtest/gtest.h>

#include "shell/shift.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

TEST(MailFooterTest, BytesAndLength) {
  const std::string title = "Tallowmark By x";  // 15 characters
  const std::string site = "https://a.example/b";
  const std::string footer = shell::BuildMailFooter(title, site);
  EXPECT_EQ(footer.size(), 78 + title.size() + site.size());
  EXPECT_EQ(footer, "\r\n\r\n\r\n-----------------------\r\n" + title + "\n\n" + site +
                        "\r\nEnergize Your Email Abilities-- Try It Free");
  EXPECT_EQ(footer.find("\r\n\n"), std::string::npos);  // the two line feeds are bare
  EXPECT_NE(footer.back(), '\n');
}

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, TextsAreSetAndTheStartUpWindowIsGone) {
  app.Start();
  EXPECT_EQ(app.SiteURL, "https://tallowmark.example");
  EXPECT_EQ(app.SiteURL.back() == '/', false);
  EXPECT_EQ(app.AppTitle.rfind("Tallowmark By ", 0), 0u);
  EXPECT_EQ(app.MailFooter, shell::BuildMailFooter(app.AppTitle, app.SiteURL));
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
