// Address books: entries, address files, book paths and list files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "store_fixture.h"
#include "stores/addresses.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

std::string Numbered(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) text += ContactEntry("n" + std::to_string(i), "a" + std::to_string(i)) + "\r\n";
  return text;
}

// ---- entries and address-file text --------------------------------------------

TEST(AddressFile, EntriesEachUpToTheirStar) {
  EXPECT_EQ(ContactEntry("a", "b"), "a: b*");
  EXPECT_EQ(ParseAddressFile("a: b*\r\nc: d*\r\n"), (Lines{"a: b*", "c: d*"}));
}

TEST(AddressFile, NoStarOrLoneCrLfGivesNothing) {
  EXPECT_EQ(ParseAddressFile(""), Lines{});
  EXPECT_EQ(ParseAddressFile("\r\n"), Lines{});
  EXPECT_EQ(ParseAddressFile("a: b\r\n"), Lines{});
  EXPECT_EQ(ParseAddressFile("a: b*\r\ntrailing text"), (Lines{"a: b*"}));
}

TEST(AddressFile, StarInsideANameSplitsTheEntry) {
  // "x*y: z*": the two characters after the first "*" go whatever they are.
  EXPECT_EQ(ParseAddressFile(ContactEntry("x*yz", "w") + "\r\n"), (Lines{"x*", ": w*"}));
}

TEST(AddressFile, EntriesWithoutCrLfBetween) { EXPECT_EQ(ParseAddressFile("a: b*c: d*\r\n"), (Lines{"a: b*", " d*"})); }

TEST(AddressFile, StarAtTheVeryEnd) {
  EXPECT_EQ(ParseAddressFile("a: b*"), (Lines{"a: b*"}));
  EXPECT_EQ(ParseAddressFile("a: b*\r"), (Lines{"a: b*"}));
  EXPECT_EQ(ParseAddressFile("****"), (Lines{"*", "*"}));
}

TEST(AddressFile, AtMost1001EntriesAndWhereReadingStopped) {
  const std::string text = Numbered(1002);
  size_t consumed = 0;
  Lines entries = ParseAddressFile(text, kMaxEntries, &consumed);
  ASSERT_EQ(entries.size(), 1001u);
  EXPECT_EQ(entries.back(), "n1001: a1001*");
  EXPECT_EQ(text.substr(consumed), "n1002: a1002*\r\n");
}

TEST(AddressFile, TextOfEntriesLeavesTheLastCrLfToTheWriter) {
  EXPECT_EQ(AddressFileText({}), "");
  EXPECT_EQ(AddressFileText({"a: b*", "c: d*"}), "a: b*\r\nc: d*");
}

TEST(EntryAddress, AfterColonAndOneCharacterLessTheLast) {
  EXPECT_EQ(EntryAddress("a: b*"), "b");
  EXPECT_EQ(EntryAddress("x: y: z*"), "y: z");
  EXPECT_EQ(EntryAddress("no colon*"), "no colon*");
  EXPECT_EQ(EntryAddress("a:*"), "");
  EXPECT_EQ(EntryAddress("a: *"), "");
  EXPECT_EQ(EntryAddress(":"), "");
  EXPECT_EQ(EntryAddress(""), "");
}

TEST(ToolbarAddress, EntryWithoutColonLosesFirstAndLast) {
  EXPECT_EQ(ToolbarAddress("a: b*"), "b");
  EXPECT_EQ(ToolbarAddress("x: y: z*"), "y: z");
  EXPECT_EQ(ToolbarAddress("<me@x.org>"), "me@x.org");
  EXPECT_EQ(ToolbarAddress("ab"), "");
  EXPECT_EQ(ToolbarAddress("a"), "");
  EXPECT_EQ(ToolbarAddress(""), "");
  EXPECT_EQ(ToolbarAddress("a:*"), "");
}

// ---- paths ---------------------------------------------------------------------

TEST(BookPaths, SafeNamesOnly) {
  EXPECT_EQ(BookFolder("/p", "Work"), "/p/Work");
  EXPECT_EQ(BookAddressFile("/p", "Work"), "/p/Work/address.dat");
  EXPECT_EQ(BookAddressFile("/p", "a\\b"), "/p/a\\b/address.dat");  // a plain character here
  EXPECT_EQ(BookAddressFile("/p", ""), "/p/address.dat");
  EXPECT_EQ(RootAddressFile("/p"), "/p/address.dat");
  for (std::string bad : {std::string("."), std::string(".."), std::string("../x"), std::string("a/b"),
                          std::string("/abs"), std::string("a\0b", 3), std::string("a\tb"), std::string("\x1b[31mRed"),
                          std::string("a\x7f"), std::string("Next\xc2\x85line")}) {
    EXPECT_FALSE(IsSafeBookName(bad)) << bad;
    EXPECT_EQ(BookFolder("/p", bad), "");
    EXPECT_EQ(BookAddressFile("/p", bad), "");
  }
  EXPECT_FALSE(IsSafeBookName(""));
  EXPECT_EQ(BookFolder("/p", ""), "");
  EXPECT_TRUE(IsSafeBookName("Grüße \xc2\xa0€ 2"));
}

class AddressStoreTest : public StoreTest {};

TEST_F(AddressStoreTest, UnsafeBookNamesTouchNothingOutside) {
  TempDir outside;
  fs::create_directory(InFolder("inner"));
  const std::string escape = "../" + fs::path(outside.path()).filename().string();
  MakeFolder(Folder() + "/inner", "..");
  MakeFolder(Folder(), escape + "/made");
  MakeFolder(Folder(), "a/b");
  EXPECT_FALSE(Exists(outside.path() + "/made"));
  EXPECT_FALSE(Exists(InFolder("a")));
  // A link planted in the program folder is not followed either.
  fs::create_directory_symlink(outside.path(), InFolder("Linked"));
  MakeFolder(Folder(), "Linked");
  EXPECT_EQ(BookAddressFile(Folder(), "Linked"), "");
  EXPECT_FALSE(WriteAddressFile(BookAddressFile(Folder(), "Linked"), {"a: b*"}));
  EXPECT_FALSE(AppendAddressEntry(BookAddressFile(Folder(), ".."), "a: b*"));
  EXPECT_FALSE(ReadAddressFile(BookAddressFile(Folder(), escape)));
  EXPECT_TRUE(fs::is_empty(outside.path()));
}

TEST_F(AddressStoreTest, MakeFolderMakesOneLevelAndSaysWhyNot) {
  const mode_t old = ::umask(0);
  bool made = false;
  EXPECT_TRUE(MakeFolder(Folder(), "Work", nullptr, &made));
  EXPECT_TRUE(made);
  ::umask(old);
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
  EXPECT_EQ(fs::status(InFolder("Work")).permissions(), fs::perms::owner_all);  // address books are personal
  EXPECT_TRUE(MakeFolder(Folder(), "Work", nullptr, &made));                    // exists: nothing happens
  EXPECT_FALSE(made);
  std::string why;
  EXPECT_FALSE(MakeFolder(Folder() + "/missing", "Work", &why));
  EXPECT_EQ(why, "No such file or directory");
  EXPECT_FALSE(Exists(InFolder("missing")));
  EXPECT_FALSE(MakeFolder(Folder(), std::string(300, 'n'), &why));
  EXPECT_EQ(why, "File name too long");
  Put("settings.dat", "1:\r\n");
  EXPECT_FALSE(MakeFolder(Folder(), "settings.dat", &why, &made));
  EXPECT_EQ(why, "File exists");
  EXPECT_FALSE(made);
  EXPECT_FALSE(MakeFolder(Folder(), ""));
  EXPECT_TRUE(fs::is_directory(InFolder("Work")));
}

TEST_F(AddressStoreTest, ReadGivesTheEntriesOfTheFileOrNothing) {
  Put("address.dat", "a: b*\r\nc: d*\r\n");
  EXPECT_EQ(ReadAddressFile(RootAddressFile(Folder())), (Lines{"a: b*", "c: d*"}));
  EXPECT_EQ(ReadAddressFile(BookAddressFile(Folder(), "Nobook")), std::nullopt);
  EXPECT_EQ(ReadAddressFile(""), std::nullopt);
}

TEST_F(AddressStoreTest, ThousandAndTwoEntriesReadAsThousandAndOne) {
  Put("address.dat", Numbered(1002));
  EXPECT_EQ(ReadAddressFile(RootAddressFile(Folder()))->size(), 1001u);
}

TEST_F(AddressStoreTest, WriteGivesEntriesEachWithCrLfOrALoneCrLf) {
  const std::string path = BookAddressFile(Folder(), "Work");
  MakeFolder(Folder(), "Work");
  ASSERT_TRUE(WriteAddressFile(path, {"a: b*", "c: d*"}));
  EXPECT_EQ(ReadFile(path), "a: b*\r\nc: d*\r\n");
  ASSERT_TRUE(WriteAddressFile(path, {}));
  EXPECT_EQ(ReadFile(path), "\r\n");
  EXPECT_EQ(ReadAddressFile(path), Lines{});
}

TEST_F(AddressStoreTest, RewriteFromAFilledListKeepsEntriesBeyondTheLimit) {
  const std::string file = Numbered(1005);
  Put("address.dat", file);
  Lines entries = ReadAddressFile(RootAddressFile(Folder())).value();
  ASSERT_EQ(entries.size(), 1001u);
  // Unchanged list: the file stays byte for byte.
  ASSERT_TRUE(WriteAddressFile(RootAddressFile(Folder()), entries));
  EXPECT_EQ(Get("address.dat"), file);
  // One entry deleted: the other 1,004 are all still there.
  entries.erase(entries.begin());
  ASSERT_TRUE(WriteAddressFile(RootAddressFile(Folder()), entries));
  EXPECT_EQ(Get("address.dat"), file.substr(file.find('\n') + 1));
  // The list stands for the first 1,001 entries (now n2 to n1002); with none
  // left the rest stands alone.
  ASSERT_TRUE(WriteAddressFile(RootAddressFile(Folder()), {}));
  EXPECT_EQ(Get("address.dat"), file.substr(file.find("n1003:")));
}

TEST_F(AddressStoreTest, RewriteOfExactlyTheLimitKeepsNoTail) {
  Put("address.dat", Numbered(1001) + "junk without entries");
  ASSERT_TRUE(WriteAddressFile(RootAddressFile(Folder()), {"a: b*"}));
  EXPECT_EQ(Get("address.dat"), "a: b*\r\n");
}

TEST_F(AddressStoreTest, AppendAddsToTheFileAsItStands) {
  const std::string path = RootAddressFile(Folder());
  ASSERT_TRUE(AppendAddressEntry(path, "a: b*"));  // missing file
  EXPECT_EQ(Get("address.dat"), "a: b*\r\n");
  ASSERT_TRUE(AppendAddressEntry(path, "c: d*"));
  EXPECT_EQ(Get("address.dat"), "a: b*\r\nc: d*\r\n");
  Put("address.dat", "\r\n");  // a book emptied by "Delete Address"
  ASSERT_TRUE(AppendAddressEntry(path, "e: f*"));
  EXPECT_EQ(Get("address.dat"), "e: f*\r\n");
  Put("address.dat", "a: b*");  // no line end after the last entry
  ASSERT_TRUE(AppendAddressEntry(path, "e: f*"));
  EXPECT_EQ(Get("address.dat"), "a: b*\r\ne: f*\r\n");
  Put("address.dat", "a: b*\r\nstray text");
  ASSERT_TRUE(AppendAddressEntry(path, "e: f*"));
  EXPECT_EQ(Get("address.dat"), "a: b*\r\ne: f*\r\n");
  Put("address.dat", Numbered(1002));
  ASSERT_TRUE(AppendAddressEntry(path, "e: f*"));
  EXPECT_EQ(Get("address.dat"), Numbered(1002) + "e: f*\r\n");
}

TEST_F(AddressStoreTest, FailedWritesKeepTheOldFile) {
  const std::string path = RootAddressFile(Folder());
  Put("address.dat", Numbered(3));
  {
    FileSizeLimit full(8);
    EXPECT_FALSE(WriteAddressFile(path, {"x: yyyyyyyyyyyyyyy*"}));
    EXPECT_FALSE(AppendAddressEntry(path, "x: y*"));
    EXPECT_FALSE(WriteListFile(Folder(), "lst", "books", {"Default", "A much longer book name"}));
  }
  EXPECT_EQ(Get("address.dat"), Numbered(3));
  EXPECT_FALSE(Exists(InFolder("books.lst")));
  fs::create_directory(InFolder("Work"));
  fs::create_directory(InFolder("Work/address.dat"));
  EXPECT_FALSE(WriteAddressFile(BookAddressFile(Folder(), "Work"), {"a: b*"}));
  EXPECT_FALSE(AppendAddressEntry(BookAddressFile(Folder(), "Work"), "a: b*"));
  EXPECT_FALSE(WriteAddressFile("", {"a: b*"}));
}

// ---- list files --------------------------------------------------------------------

TEST(ListFile, LinesUpToEachCr) {
  EXPECT_EQ(ParseListFile("Work\r\nHome\r\n"), (Lines{"Work", "Home"}));
  EXPECT_EQ(ParseListFile("\r\n"), (Lines{""}));
  EXPECT_EQ(ParseListFile(""), Lines{});
  EXPECT_EQ(ParseListFile("Work\r\nlost"), (Lines{"Work"}));
  EXPECT_EQ(ParseListFile("Work\rHome\r\n"), (Lines{"Work", "ome"}));  // a bare CR eats one character
  EXPECT_EQ(ParseListFile("Work\r\nLast\r"), (Lines{"Work", "Last"}));
  EXPECT_EQ(ParseListFile("\r"), (Lines{""}));
}

TEST_F(AddressStoreTest, ListFileThatIsMissingOrAFolderReadsAsNoLines) {
  EXPECT_EQ(ReadListFile(Folder(), "lst", "books"), Lines{});
  fs::create_directory(InFolder("books.lst"));
  EXPECT_EQ(ReadListFile(Folder(), "lst", "books"), Lines{});
}

TEST_F(AddressStoreTest, ListFileOf30002LinesLoads30001) {
  std::string text;
  for (int i = 0; i < 30002; ++i) text += "b" + std::to_string(i) + "\r\n";
  Put("books.lst", text);
  const Lines lines = ReadListFile(Folder(), "lst", "books");
  ASSERT_EQ(lines.size(), 30001u);
  EXPECT_EQ(lines[30000], "b30000");
}

// As for address files: what no list shows stays, byte for byte.
TEST_F(AddressStoreTest, RewriteOfAFullListKeepsTheLinesBeyondTheLimit) {
  std::string head, tail = "b30001 caf\xE9\r\n\r\nb30003\r\nb30004\r\n";  // an older file, in Windows-1252
  for (int i = 0; i < 30001; ++i) head += "b" + std::to_string(i) + "\r\n";
  Put("books.lst", head + tail);
  Lines lines = ReadListFile(Folder(), "lst", "books");
  lines.erase(lines.begin() + 1);
  ASSERT_TRUE(WriteListFile(Folder(), "lst", "books", lines));
  EXPECT_EQ(Get("books.lst"), head.substr(0, 4) + head.substr(8) + tail);
}

TEST(ClipboardAddressTest, NeedsAnAtSignAndCountsCharactersNotBytes) {
  EXPECT_TRUE(LooksLikeAddress("a@b", 3));
  EXPECT_FALSE(LooksLikeAddress("a@bc", 3));
  EXPECT_FALSE(LooksLikeAddress("abc", 40));
  EXPECT_TRUE(LooksLikeAddress(" a@b \r\n", 40));  // taken as it is, blanks and line end too
  const std::string accented = "\xc3\xa9@b";       // three characters in four bytes
  EXPECT_TRUE(LooksLikeAddress(accented, 3));
  EXPECT_FALSE(LooksLikeAddress(accented, 2));
}

}  // namespace
}  // namespace tallow::testing
