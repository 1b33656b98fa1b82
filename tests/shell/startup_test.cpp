// Start-up and the program-wide texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "mail/footers.h"
#include "platform/file_list.h"
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

// What saves killed half way leave: hidden temporary files beside the data
// files. No file list shows them, and the next start removes them, and only
// them: a name that is not quite one of the writer's, or that of a file the
// program does not write there, stays.
TEST_F(StartupTest, LeftoversOfKilledSavesAreNeverListedAndTheNextStartRemovesOnlyThose) {
  namespace fs = std::filesystem;
  const std::vector<std::string> ours = {".data1.txt.123.tmp",  ".data2.txt.987654321.tmp",   ".info.txx.5.tmp",
                                         ".settings.dat.0.tmp", ".showyes.dat.77.tmp",        ".books.lst.42.tmp",
                                         ".address.dat.1.tmp",  "Default/.address.dat.9.tmp", "cwd/.data.txt.4.tmp"};
  const std::vector<std::string> others = {".data1.txt.tmp",       ".data1.txt.1234567890.tmp",
                                           ".data1.txt.12a.tmp",   "..123.tmp",
                                           ".other.dat.5.tmp",     ".bashrc",
                                           "data1.txt.12.tmp",     "Default/.settings.dat.9.tmp",
                                           "cwd/.data1.txt.4.tmp", "cwd/.settings.dat.4.tmp",
                                           "cwd/.data.txt.4.tmp~"};
  fs::create_directory(InFolder("Default"));
  fs::create_symlink(cwd.path(), InFolder("cwd"));
  WriteFile(InFolder("data1.txt"), "Subject\r\nMessage\r\n");
  for (const auto& name : ours) WriteFile(InFolder(name), "half a save");
  for (const auto& name : others) WriteFile(InFolder(name), "not ours");
  // A link named like a leftover: what it leads to is not the program's.
  WriteFile(cwd.path() + "/elsewhere", "kept");
  fs::create_symlink(cwd.path() + "/elsewhere", InFolder(".data3.txt.5.tmp"));

  EXPECT_EQ(ListFiles(folder.path(), "*.txt"), std::vector<std::string>{"data1.txt"});
  EXPECT_TRUE(ListFiles(folder.path(), "*.txx").empty());
  EXPECT_EQ(ListFiles(folder.path(), "*"), (std::vector<std::string>{"data1.txt", "data1.txt.12.tmp"}));

  app.Start();
  for (const auto& name : ours) EXPECT_FALSE(fs::exists(InFolder(name))) << name;
  for (const auto& name : others) EXPECT_EQ(ReadFile(InFolder(name)), "not ours") << name;
  EXPECT_TRUE(fs::is_symlink(InFolder(".data3.txt.5.tmp")));
  EXPECT_EQ(ReadFile(cwd.path() + "/elsewhere"), "kept");
  EXPECT_EQ(app.Form1().List1.Items(), std::vector<std::string>{"Subject"});
}

}  // namespace
}  // namespace tallow::testing
