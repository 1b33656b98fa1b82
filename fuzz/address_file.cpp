// An address file: at most 1,001 entries, each up to and including its "*";
// a rewrite from the entries read gives the same entries back, and keeps
// every entry beyond the limit byte for byte after them. Entries as the
// program writes them give back the address typed.
#include <climits>
#include <fstream>

#include "fuzz.h"
#include "platform/text.h"
#include "stores/addresses.h"
#include "stores/files.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  auto seeds = FilledSeeds(stores::kMaxEntries, "Ann: ann@example.org*\r\nBob: x*y*\r\ntail");
  seeds.push_back(WithCount(0, "a: b*\r\nc: d*\r\n"));
  return seeds;
}

}  // namespace tallow::fuzz

using namespace tallow;
using namespace tallow::stores;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Input: a count of entries put before the rest of the file.
  const std::string text = fuzz::FilledFile(
      data, size, kMaxEntries, [](unsigned i) { return ContactEntry("n" + std::to_string(i), "a@b") + "\r\n"; });
  const std::string path = RootAddressFile(fuzz::Scratch());

  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  const std::optional<std::vector<std::string>> read = ReadAddressFile(path);
  FUZZ_CHECK(read);
  const std::vector<std::string> entries = *read;
  FUZZ_CHECK(entries.size() <= static_cast<size_t>(kMaxEntries));
  for (const std::string& entry : entries) FUZZ_CHECK(entry.find('*') == entry.size() - 1 && text::IsUtf8(entry));
  const auto all = DecodeAll(ParseAddressFile(text, INT_MAX), text);
  FUZZ_CHECK(std::equal(entries.begin(), entries.end(), all.begin()));
  FUZZ_CHECK(entries.size() == std::min(all.size(), static_cast<size_t>(kMaxEntries)));

  // Rewritten from the list the reader filled: the same entries, and those
  // beyond the limit still there after them.
  FUZZ_CHECK(WriteAddressFile(path, entries));
  std::string rewritten;
  FUZZ_CHECK(ReadWholeFile(path, rewritten));
  const auto again = DecodeAll(ParseAddressFile(rewritten, INT_MAX), rewritten);
  if (all.size() > static_cast<size_t>(kMaxEntries))
    FUZZ_CHECK(again == all);
  else
    FUZZ_CHECK(again == entries);
  FUZZ_CHECK(rewritten.size() >= 2 && rewritten.compare(rewritten.size() - 2, 2, CRLF) == 0);

  // An entry as the program writes it: the address comes back as typed, as
  // long as the name holds no ":" and neither holds a "*".
  const std::string rest = fuzz::AfterCount(data, size);
  const std::string name = rest.substr(0, rest.size() % 7);
  const std::string address = rest.substr(name.size(), 40);
  const std::string entry = ContactEntry(name, address);
  if (name.find(':') == std::string::npos && (name + address).find('*') == std::string::npos) {
    FUZZ_CHECK(EntryAddress(entry) == address);
    FUZZ_CHECK(ToolbarAddress(entry) == address);
  }
  EntryAddress(rest);  // any text: an answer, no fault
  ToolbarAddress(rest);
  return 0;
}
