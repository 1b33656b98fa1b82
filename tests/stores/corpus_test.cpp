// Malformed files of every kind, opened by every reader: none crashes, and
// each gives what its rules say of such a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "platform/text.h"
#include "stores/addresses.h"
#include "stores/corpus.h"
#include "stores/settings.h"
#include "stores/templates.h"
#include "store_fixture.h"

namespace tallow::testing {
namespace {

using namespace tallow::stores;

class CorpusTest : public StoreTest {
 protected:
  FileListBox File1{form, "File1", "*.txt"};
  ListBox List1{form, "List1"};
  ListBox List2{form, "List2"};
  TextBox txtSubject{form, "txtSubject"};
  TextBox txtMessage{form, "txtMessage"};
  CorpusTest() { txtMessage.multiLine = true; }  // as every window's message box
  std::vector<std::string> corpus = Corpus();

  static std::string Name(size_t i, const char* ext) {
    char name[32];
    std::snprintf(name, sizeof name, "c%03zu%s", i, ext);
    return name;
  }
};

TEST_F(CorpusTest, HasEnoughFiles) { EXPECT_GE(corpus.size(), 50u); }

TEST_F(CorpusTest, TemplateAndInformationReaders) {
  for (const char* ext : {".txt", ".txx"}) {
    File1.SetPattern(std::string("*") + ext);
    for (size_t i = 0; i < corpus.size(); ++i) Put(Name(i, ext), corpus[i]);
    LoadTemplate(Folder(), File1, List1);
    ASSERT_EQ(List1.ListCount(), static_cast<int>(corpus.size()));
    for (size_t i = 0; i < corpus.size(); ++i) {
      SCOPED_TRACE(i);
      // Each file is text: itself when valid UTF-8, otherwise Windows-1252.
      const std::string text = Decode(corpus[i], EncodingOf(corpus[i]));
      const std::string item = List1.List(static_cast<int>(i));
      EXPECT_TRUE(tallow::text::IsUtf8(item));
      // Position i is file i: its subject is the text before its first CR, or all of it.
      EXPECT_EQ(File1.List(static_cast<int>(i)), Name(i, ext));
      EXPECT_EQ(item.find('\r'), std::string::npos);
      EXPECT_EQ(text.compare(0, item.size(), item), 0);
      if (text.find('\r') == std::string::npos) EXPECT_EQ(item.size(), text.size());
      else EXPECT_EQ(text[item.size()], '\r');

      List1.SetListIndex(static_cast<int>(i));
      OpenListMessage(Folder(), List1, File1, txtSubject, txtMessage);
      EXPECT_EQ(txtSubject.Text(), tallow::text::OneLine(item));  // a one-line box: an LF of the subject is a blank
      const std::string& message = txtMessage.Text();
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
    ReFreshSettings(Folder(), List2, true);
    const long colons = std::count(text.begin(), text.end(), ':');
    EXPECT_LE(List2.ListCount(), 21);
    EXPECT_LE(List2.ListCount(), colons);
    if (colons > 0) { EXPECT_GE(List2.ListCount(), 1); }
    for (const std::string& field : List2.Items()) EXPECT_EQ(field.find(':'), std::string::npos);
    // Whatever the fields, asking whether one chooses does not throw.
    EXPECT_NO_THROW(FlagChooses(List2.List(0)));
    EXPECT_NO_THROW(FlagChooses(List2.List(1)));
  }
}

TEST_F(CorpusTest, AddressFileReaderAndRewrite) {
  const std::string path = RootAddressFile(Folder());
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string& text = corpus[i];
    Put("address.dat", text);
    List1.Clear();
    ASSERT_TRUE(ReadAddressFile(path, List1));
    const long stars = std::count(text.begin(), text.end(), '*');
    EXPECT_LE(List1.ListCount(), kMaxEntries);
    EXPECT_LE(List1.ListCount(), stars);
    if (stars > 0) { EXPECT_GE(List1.ListCount(), 1); }
    for (const std::string& entry : List1.Items()) {
      EXPECT_TRUE(tallow::text::IsUtf8(entry));
      EXPECT_EQ(entry.back(), '*');
      EXPECT_EQ(entry.find('*'), entry.size() - 1);
    }
    // A rewrite from the list the reader filled: the same entries read back,
    // and every "*" the reader did not reach is still in the file.
    size_t consumed = 0;
    ParseAddressFile(text, kMaxEntries, &consumed);
    const long unread = std::count(text.begin() + static_cast<long>(consumed), text.end(), '*');
    ASSERT_TRUE(WriteAddressFile(path, List1.Items()));
    const std::string rewritten = Get("address.dat");
    EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '*'), List1.ListCount() + unread);
    ListBox again(form, "again");
    ASSERT_TRUE(ReadAddressFile(path, again));
    EXPECT_EQ(again.Items(), List1.Items());
  }
}

TEST_F(CorpusTest, ListFileReaderAndDefaultRule) {
  for (size_t i = 0; i < corpus.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string& text = corpus[i];
    Put("books.lst", text);
    LoadList(Folder(), "lst", "books", List1);
    const long crs = std::count(text.begin(), text.end(), '\r');
    EXPECT_LE(List1.ListCount(), kMaxListLines);
    EXPECT_LE(List1.ListCount(), crs);
    if (crs > 0) { EXPECT_GE(List1.ListCount(), 1); }
    for (const std::string& line : List1.Items()) {
      EXPECT_TRUE(tallow::text::IsUtf8(line));
      EXPECT_EQ(line.find('\r'), std::string::npos);
    }
    ApplyDefaultRule(List1, true);
    EXPECT_EQ(List1.List(0), "Default");
    // The names give a safe path or none (the first hundred: making
    // thirty thousand folders proves nothing more).
    const auto& books = List1.Items();
    for (size_t b = 0; b < std::min<size_t>(books.size(), 100); ++b) {
      const std::string& book = books[b];
      const std::string file = BookAddressFile(Folder(), book);
      if (!file.empty()) { EXPECT_EQ(file.rfind(Folder() + "/", 0), 0u); }
      MakeFolder(Folder(), book);
    }
  }
  EXPECT_FALSE(Exists(InFolder("../tallowmark-corpus-escape")));
  EXPECT_FALSE(Exists(InFolder("a")));
}

}  // namespace
}  // namespace tallow::testing
