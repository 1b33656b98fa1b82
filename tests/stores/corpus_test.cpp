// Malformed files of every kind, opened by every reader: none crashes, and
// each gives what its rules say of such a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/file_list.h"
#include "platform/text.h"
#include "store_fixture.h"
#include "stores/addresses.h"
#include "stores/corpus.h"
#include "stores/files.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;

class CorpusTest : public StoreTest {
 protected:
  std::vector<std::string> corpus = Corpus();

  static std::string Name(size_t i, const char* ext) {
    char name[32];
    std::snprintf(name, sizeof name, "c%03zu%s", i, ext);
    return name;
  }
};

// A reader gives no more items than its limit, nor than the file has
// separators, and one at least when it has one.
void ExpectBounded(long items, long separators, long limit) {
  EXPECT_LE(items, limit);
  EXPECT_LE(items, separators);
  if (separators > 0) {
    EXPECT_GE(items, 1);
  }
}

TEST_F(CorpusTest, HasEnoughFiles) { EXPECT_GE(corpus.size(), 50u); }

TEST_F(CorpusTest, TemplateAndInformationReaders) {
  for (const char* ext : {".txt", ".txx"}) {
    for (size_t i = 0; i < corpus.size(); ++i) Put(Name(i, ext), corpus[i]);
    const std::vector<std::string> files = ListFiles(Folder(), std::string("*") + ext);
    const std::vector<std::string> subjects = ReadSubjects(Folder(), files);
    ASSERT_EQ(subjects.size(), corpus.size());
    for (size_t i = 0; i < corpus.size(); ++i) {
      SCOPED_TRACE(i);
      // Each file is text: itself when valid UTF-8, otherwise Windows-1252.
      const std::string text = Decode(corpus[i], EncodingOf(corpus[i]));
      const std::string& item = subjects[i];
      EXPECT_TRUE(tallow::text::IsUtf8(item));
      // Position i is file i: its subject is the text before its first CR, or all of it.
      EXPECT_EQ(files[i], Name(i, ext));
      EXPECT_EQ(item.find('\r'), std::string::npos);
      EXPECT_EQ(text.compare(0, item.size(), item), 0);
      if (text.find('\r') == std::string::npos)
        EXPECT_EQ(item.size(), text.size());
      else
        EXPECT_EQ(text[item.size()], '\r');

      const Template opened = ReadTemplate(Folder(), files[i]);
      EXPECT_EQ(opened.subject, item);
      const std::string& message = opened.message;
      const size_t lf = text.find('\n');
      EXPECT_EQ(message.size(), lf == std::string::npos ? text.size() : text.size() - lf - 1);
      EXPECT_EQ(text.compare(text.size() - message.size(), message.size(), message), 0);
    }
  }
}

TEST_F(CorpusTest, SettingsReader) {
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string& text = corpus[i];
    Put("settings.dat", text);
    const std::vector<std::string> fields = ReadSettings(Folder());
    ExpectBounded(static_cast<long>(fields.size()), std::count(text.begin(), text.end(), ':'), 21);
    for (const std::string& field : fields) EXPECT_EQ(field.find(':'), std::string::npos);
    // Whatever the fields, asking whether one chooses does not throw.
    for (const std::string& field : fields) EXPECT_NO_THROW(FlagChooses(field));
  }
}

TEST_F(CorpusTest, AddressFileReaderAndRewrite) {
  const std::string path = RootAddressFile(Folder());
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string& text = corpus[i];
    Put("address.dat", text);
    const std::optional<std::vector<std::string>> read = ReadAddressFile(path);
    ASSERT_TRUE(read);
    const std::vector<std::string>& entries = *read;
    const long entryCount = static_cast<long>(entries.size());
    ExpectBounded(entryCount, std::count(text.begin(), text.end(), '*'), kMaxEntries);
    for (const std::string& entry : entries) {
      EXPECT_TRUE(tallow::text::IsUtf8(entry));
      EXPECT_EQ(entry.back(), '*');
      EXPECT_EQ(entry.find('*'), entry.size() - 1);
    }
    // A rewrite from the list the reader filled: the same entries read back,
    // and every "*" the reader did not reach is still in the file.
    size_t consumed = 0;
    ParseAddressFile(text, kMaxEntries, &consumed);
    const long unread = std::count(text.begin() + static_cast<long>(consumed), text.end(), '*');
    ASSERT_TRUE(WriteAddressFile(path, entries));
    const std::string rewritten = Get("address.dat");
    EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '*'), entryCount + unread);
    EXPECT_EQ(ReadAddressFile(path), entries);
  }
}

TEST_F(CorpusTest, ListFileReader) {
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string& text = corpus[i];
    Put("books.lst", text);
    const std::vector<std::string> books = ReadListFile(Folder(), "lst", "books");
    ExpectBounded(static_cast<long>(books.size()), std::count(text.begin(), text.end(), '\r'), kMaxListLines);
    for (const std::string& line : books) {
      EXPECT_TRUE(tallow::text::IsUtf8(line));
      EXPECT_EQ(line.find('\r'), std::string::npos);
    }
    // The names give a safe path or none (the first hundred: making
    // thirty thousand folders proves nothing more). Line 0 names no book:
    // every window's Default rule puts "Default" in its place.
    for (size_t b = 1; b < std::min<size_t>(books.size(), 100); ++b) {
      const std::string& book = books[b];
      const std::string file = BookAddressFile(Folder(), book);
      if (!file.empty()) {
        EXPECT_EQ(file.rfind(Folder() + "/", 0), 0u);
      }
      MakeFolder(Folder(), book);
    }
  }
  EXPECT_FALSE(Exists(InFolder("../tallowmark-corpus-escape")));
  EXPECT_FALSE(Exists(InFolder("a")));
}

}  // namespace
}  // namespace tallow::testing
