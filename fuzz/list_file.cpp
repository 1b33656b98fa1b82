// List files and books.lst: at most 30,001 lines, each up to a CR, the one
// character after it dropped; what the program saves from lines without a CR
// loads back the same. After the Default rule the list starts with "Default";
// no book name leads a path, or a folder made for it, out of the program
// folder.
#include <filesystem>
#include <fstream>

#include "desk/lists.h"
#include "fuzz.h"
#include "platform/text.h"
#include "stores/addresses.h"
#include "stores/files.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  auto seeds = FilledSeeds(stores::kMaxListLines, "Work\r\nHome\r");
  seeds.push_back(WithCount(0, "Default\r\nFriends\r\n..\r\n/etc\r\na/b\r\n.\r\n\r\n"));
  return seeds;
}

}  // namespace tallow::fuzz

using namespace tallow;
using namespace tallow::stores;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Input: a count of lines put before the rest of the file.
  const std::string text = fuzz::FilledFile(data, size, kMaxListLines, [](unsigned) { return std::string("x\r\n"); });
  // The program folder is a folder inside the scratch folder, so that
  // anything made beside it shows.
  const std::string folder = fuzz::Scratch() + "/program";
  std::error_code ec;
  fs::remove_all(fuzz::Scratch(), ec);
  fs::create_directories(folder);
  fuzz::BareHost host;
  Form form(host, "Window");
  ListBox books(form, "Combo2");

  std::ofstream(JoinPath(folder, "books.lst"), std::ios::binary) << text;
  desk::LoadList(folder, "lst", "books", books);
  const std::vector<std::string> lines = books.Items(), raw = ParseListFile(text);
  FUZZ_CHECK(raw.size() <= static_cast<size_t>(kMaxListLines) && lines.size() == raw.size());
  const Encoding encoding = EncodingOf(text);
  for (size_t i = 0; i < raw.size(); ++i) FUZZ_CHECK(lines[i] == Decode(raw[i], encoding) && text::IsUtf8(lines[i]));
  size_t pos = 0;
  for (const std::string& line : raw) {
    FUZZ_CHECK(line.find('\r') == std::string::npos);
    FUZZ_CHECK(text.compare(pos, line.size(), line) == 0 && text[pos + line.size()] == '\r');
    pos += line.size() + 2;
  }
  // Fewer than the limit only when no line is left to take.
  if (raw.size() < static_cast<size_t>(kMaxListLines))
    FUZZ_CHECK(pos >= text.size() || text.find('\r', pos) == std::string::npos);

  // Saved and loaded again: the same lines (no line at all is saved as one
  // empty line).
  FUZZ_CHECK(desk::SaveList(folder, "lst", "books", books));
  desk::LoadList(folder, "lst", "books", books);
  FUZZ_CHECK(books.Items() == (lines.empty() ? std::vector<std::string>{""} : lines));

  desk::ApplyDefaultRule(books, true);
  FUZZ_CHECK(books.List(0) == kDefaultBook);
  FUZZ_CHECK(books.ListCount() == std::max<int>(1, static_cast<int>(lines.size())));
  FUZZ_CHECK(std::equal(lines.begin() + std::min<size_t>(1, lines.size()), lines.end(), books.Items().begin() + 1));

  // The book names: a safe name is one folder directly inside the program
  // folder; any other gives no path and makes nothing.
  for (size_t i = 0; i < std::min<size_t>(lines.size(), 20); ++i) {
    const std::string& book = lines[i];
    const std::string file = BookAddressFile(folder, book);
    if (book.empty())
      FUZZ_CHECK(file == RootAddressFile(folder));
    else if (IsSafeBookName(book))
      FUZZ_CHECK(fs::path(file).parent_path().parent_path() == folder && fs::path(file).filename() == kAddressFile);
    else
      FUZZ_CHECK(file.empty());
    MakeFolder(folder, book);
  }
  for (const auto& entry : fs::recursive_directory_iterator(fuzz::Scratch(), ec)) {
    const fs::path made = entry.path();
    FUZZ_CHECK(made == folder || made.parent_path() == folder);
  }
  return 0;
}
