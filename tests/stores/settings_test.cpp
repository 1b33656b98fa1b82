// The settings file: its fields, its writers and how a flag chooses.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "store_fixture.h"
#include "stores/settings.h"
#include "support/needs.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;
using Fields = std::vector<std::string>;

TEST(ParseSettings, WorkedExample) {
  EXPECT_EQ(ParseSettings("1:\r\n0:\r\n[END]\r\n"), (Fields{"1", "\n0"}));
  EXPECT_EQ(ParseSettings("0:\r\n1:\r\n[END]\r\n"), (Fields{"0", "\n1"}));
}

TEST(ParseSettings, NoColonGivesNoField) {
  EXPECT_EQ(ParseSettings(""), Fields{});
  EXPECT_EQ(ParseSettings("[END]\r\n"), Fields{});
}

TEST(ParseSettings, AtMost21Fields) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += std::to_string(i) + ":x";
  Fields fields = ParseSettings(text);
  ASSERT_EQ(fields.size(), 21u);
  EXPECT_EQ(fields[0], "0");
  EXPECT_EQ(fields[20], "20");
}

TEST(ParseSettings, TrailingColonYieldsLastFieldAndStops) {
  EXPECT_EQ(ParseSettings("1:\r\n0:"), (Fields{"1", "\n0"}));
  EXPECT_EQ(ParseSettings(":"), (Fields{""}));
  EXPECT_EQ(ParseSettings("a:b"), (Fields{"a"}));
  EXPECT_EQ(ParseSettings("a::b:"), (Fields{"a", "b"}));  // the second ":" is the dropped character
}

TEST(SettingsText, BothWriters) {
  EXPECT_EQ(SettingsText(true, false), "1:\r\n0:\r\n[END]");
  EXPECT_EQ(SettingsText(false, true), "0:\r\n1:\r\n[END]");
}

TEST(FlagChooses, FloorOfTheNumberIsOne) {
  for (const char* yes : {"1", "\n1", "1.5", " 1", "\r\n 1", "1.999", "+1", "1e0", "1\r\n"})
    EXPECT_TRUE(FlagChooses(yes)) << yes;
  for (const char* no : {"2", "0.9", "0", "", "abc", "-1", "1abc", ".", "inf", "nan", "0x1", "\n", "1 1", "-0.5"})
    EXPECT_FALSE(FlagChooses(no)) << no;
  // The desktop takes the user's locale; one with a decimal comma changes nothing.
  TALLOWMARK_NEEDS(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), "no de_DE.UTF-8 locale");
  EXPECT_TRUE(FlagChooses("1.5"));
  EXPECT_FALSE(FlagChooses("0,9"));
  std::setlocale(LC_NUMERIC, "C");
}

class SettingsFileTest : public StoreTest {};

TEST_F(SettingsFileTest, WrittenFileIsFifteenBytesAndReadsBack) {
  ASSERT_TRUE(WriteSettings(Folder(), false, true));
  EXPECT_EQ(Get("settings.dat"), "0:\r\n1:\r\n[END]\r\n");
  const Fields fields = ReadSettings(Folder());
  EXPECT_EQ(fields, (Fields{"0", "\n1"}));
  EXPECT_FALSE(FlagChooses(fields[0]));
  EXPECT_TRUE(FlagChooses(fields[1]));
}

TEST_F(SettingsFileTest, MissingEmptyOrUnreadableFileGivesNoFields) {
  EXPECT_EQ(ReadSettings(Folder()), Fields{});
  Put("settings.dat", "");
  EXPECT_EQ(ReadSettings(Folder()), Fields{});
  std::filesystem::remove(InFolder("settings.dat"));
  std::filesystem::create_directory(InFolder("settings.dat"));
  EXPECT_EQ(ReadSettings(Folder()), Fields{});
  std::filesystem::remove(InFolder("settings.dat"));
  std::filesystem::create_symlink("/proc/self/mem", InFolder("settings.dat"));  // every read fails
  EXPECT_EQ(ReadSettings(Folder()), Fields{});
  // Nothing there chooses a client (a window's list gives "" for a field it
  // does not hold), and asking does not throw.
  EXPECT_FALSE(FlagChooses(""));
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFile) {
  Put("settings.dat", "1:\r\n0:\r\n[END]\r\n");
  {
    FileSizeLimit full(4);
    EXPECT_FALSE(WriteSettings(Folder(), false, true));
  }
  EXPECT_EQ(Get("settings.dat"), "1:\r\n0:\r\n[END]\r\n");
}

}  // namespace
}  // namespace tallow::testing
