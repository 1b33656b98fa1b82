// Older data files, written in the 8-bit code page Windows-1252: every reader
// gives their text, and every writer keeps each byte that the change did not
// touch, falling back to UTF-8 only for a character the code page lacks.
#include <gtest/gtest.h>

#include <filesystem>

#include "store_fixture.h"
#include "stores/addresses.h"
#include "stores/files.h"
#include "stores/templates.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// "Latin café", "naïve body €" and the undefined byte 0x81, in Windows-1252.
const std::string kOlderTemplate = "Latin caf\xE9\r\nna\xEFve body \x80 \x81\r\n";

class CodePageTest : public StoreTest {};

TEST_F(CodePageTest, TemplateIsTextAndAWriteChangesOnlyTheBytesOfTheEdit) {
  Put("data1.txt", kOlderTemplate);
  EXPECT_EQ(ReadSubjects(Folder(), {"data1.txt"}), Lines{"Latin café"});
  const std::string message = ReadTemplate(Folder(), "data1.txt").message;
  EXPECT_EQ(message, "naïve body € \u0081\r\n");

  const std::string path = InFolder("data1.txt");
  ASSERT_TRUE(WriteWholeText(path, TemplateText("Latin café ©", message)));
  EXPECT_EQ(Get("data1.txt"), "Latin caf\xE9 \xA9\r\n" + kOlderTemplate.substr(12) + "\r\n");
  // A character the code page lacks: the whole text in UTF-8, every character kept.
  ASSERT_TRUE(WriteWholeText(path, TemplateText("Łódź", message)));
  EXPECT_EQ(Get("data1.txt"), "Łódź\r\nnaïve body € \u0081\r\n\r\n");
  // "Ã©" in Windows-1252 is the UTF-8 of "é": written so, it would read back as "é".
  Put("data1.txt", kOlderTemplate);
  ASSERT_TRUE(WriteWholeText(path, "Ã©"));
  EXPECT_EQ(Get("data1.txt"), "Ã©\r\n");
}

// Entries from..to, each named with the given spelling of "René".
std::string Entries(int from, int to, const std::string& rene) {
  std::string text;
  for (int i = from; i <= to; ++i) text += rene + " " + std::to_string(i) + ": r" + std::to_string(i) + "@x.org*\r\n";
  return text;
}

TEST_F(CodePageTest, AddressFileRewritesKeepTheBytesOfEveryEntryLeft) {
  // A tail beyond the entry limit, which no list shows, is kept too.
  const int last = kMaxEntries + 2;
  Put("address.dat", Entries(1, last, "Ren\xE9"));
  const std::string path = RootAddressFile(Folder());
  Lines entries = ReadAddressFile(path).value();
  ASSERT_EQ(entries.size(), static_cast<size_t>(kMaxEntries));
  EXPECT_EQ(entries[0], "René 1: r1@x.org*");

  entries.erase(entries.begin());
  ASSERT_TRUE(WriteAddressFile(path, entries));
  EXPECT_EQ(Get("address.dat"), Entries(2, last, "Ren\xE9"));
  ASSERT_TRUE(AppendAddressEntry(path, ContactEntry("Zoë", "z@x.org")));
  EXPECT_EQ(Get("address.dat"), Entries(2, last, "Ren\xE9") + "Zo\xEB: z@x.org*\r\n");
  // A name the code page cannot hold: the whole file in UTF-8, nothing lost.
  ASSERT_TRUE(AppendAddressEntry(path, ContactEntry("Łukasz", "l@x.org")));
  EXPECT_EQ(Get("address.dat"), Entries(2, last, "René") + "Zoë: z@x.org*\r\nŁukasz: l@x.org*\r\n");
}

TEST_F(CodePageTest, AnOlderBookListNamesItsFoldersByTheSameBytes) {
  Put("books.lst", "Default\r\nCaf\xE9\r\n");
  fs::create_directory(InFolder("Caf\xE9"));
  Put("Caf\xE9/address.dat", "Ren\xE9: r@x.org*\r\n");
  Lines books = ReadListFile(Folder(), "lst", "books");
  EXPECT_EQ(books, (Lines{"Default", "Café"}));
  EXPECT_EQ(ReadAddressFile(BookAddressFile(Folder(), "Café")), Lines{"René: r@x.org*"});
  MakeFolder(Folder(), "Café");  // the book has its folder: no second one
  EXPECT_FALSE(Exists(InFolder("Café")));

  // A new book: the list stays in the code page while it can.
  books.push_back("Thé");
  ASSERT_TRUE(WriteListFile(Folder(), "lst", "books", books));
  EXPECT_EQ(Get("books.lst"), "Default\r\nCaf\xE9\r\nTh\xE9\r\n");
  // Written in UTF-8 for a name it cannot hold, the older book keeps its folder.
  books.push_back("Łódź");
  ASSERT_TRUE(WriteListFile(Folder(), "lst", "books", books));
  EXPECT_EQ(Get("books.lst"), "Default\r\nCafé\r\nThé\r\nŁódź\r\n");
  EXPECT_EQ(BookAddressFile(Folder(), "Café"), InFolder("Caf\xE9/address.dat"));
}

// Found by fuzzing: entries beyond the limit were kept with whatever stood
// after their "*", and once the file went over to UTF-8 two such characters
// of the code page were four bytes, of which a reader drops two: the next
// entry began with the rest.
TEST_F(CodePageTest, EntriesBeyondTheLimitReadTheSameAfterTheFileTurnsUtf8) {
  Put("address.dat", Entries(1, kMaxEntries, "Ren\xE9") + "Tail: t@x.org*\xE9\xE9Last: l@x.org*\r\n");
  const std::string path = RootAddressFile(Folder());
  Lines entries = ReadAddressFile(path).value();
  entries.push_back(ContactEntry("Łukasz", "l@x.org"));  // no place in the code page
  ASSERT_TRUE(WriteAddressFile(path, entries));
  const auto all = ParseAddressFile(Get("address.dat"), kMaxEntries + 3);
  ASSERT_EQ(all.size(), static_cast<size_t>(kMaxEntries + 3));
  const std::string last = std::to_string(kMaxEntries);
  EXPECT_EQ(all[kMaxEntries - 1], "René " + last + ": r" + last + "@x.org*");
  EXPECT_EQ(std::vector<std::string>(all.end() - 3, all.end()),
            (Lines{"Łukasz: l@x.org*", "Tail: t@x.org*", "Last: l@x.org*"}));
}

// Found by fuzzing: a reader drops the byte after a CR (and the two after a
// "*") whatever they are, and so can cut a character of a UTF-8 file in two.
// The rest of it read as raw bytes made the list hold text that is not UTF-8,
// and the next save turned the whole file into Windows-1252: "Grüße" read back
// as "GrÃ¼ÃŸe".
TEST_F(CodePageTest, APieceCutInsideACharacterKeepsTheFileUtf8) {
  Put("books.lst", "Default\r\nGrüße\r€\r\n");  // the byte after the bare CR is the first of "€"
  const Lines books = ReadListFile(Folder(), "lst", "books");
  ASSERT_EQ(books.size(), 3u);
  EXPECT_EQ(books[2], "\u201a\u00ac");  // the two bytes left of "€", as Windows-1252
  ASSERT_TRUE(WriteListFile(Folder(), "lst", "books", books));
  EXPECT_EQ(ReadListFile(Folder(), "lst", "books")[1], "Grüße");

  Put("address.dat", "Jörg: j@x.org*\r€: e@x.org*\r\n");  // "\r" and the first byte of "€" dropped
  const std::string path = RootAddressFile(Folder());
  ASSERT_TRUE(WriteAddressFile(path, ReadAddressFile(path).value()));
  EXPECT_EQ(ReadAddressFile(path).value().at(0), "Jörg: j@x.org*");
}

}  // namespace
}  // namespace tallow::testing
