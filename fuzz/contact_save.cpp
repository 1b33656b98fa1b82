// The add-contact window's save: a name and an address that the check lets
// through are appended as exactly one entry, which reads back as it was
// typed, address included, and leaves the entries before it as they were. A
// character the check refuses is one the two fields hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <fstream>

#include "fuzz.h"
#include "platform/text.h"
#include "stores/addresses.h"
#include "stores/files.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  return {"Jane Roe\\;jane@example.org",
          "J\xc3\xb6rg: M\xc3\xbcller\\;j@x.org",
          "Star*\\;a@b",
          "a\\;b*\r\nc: d*",
          "\r\n\\;\r\n",
          "x\\;"};
}

}  // namespace tallow::fuzz

using namespace tallow;
using namespace tallow::stores;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  // What the window's boxes hold is text: UTF-8.
  const std::string name = text::ToUtf8(input.ConsumeRandomLengthString(200));
  const std::string address = text::ToUtf8(input.ConsumeRemainingBytesAsString());
  const char refused = UnstorableContactCharacter(name, address);
  if (refused) {
    FUZZ_CHECK((name + address).find(refused) != std::string::npos);
    return 0;
  }
  const std::string path = RootAddressFile(fuzz::Scratch());
  const std::vector<std::string> before = {"Ann: ann@example.org*", "B\xc3\xa9la: bela@example.org*"};
  std::ofstream(path, std::ios::binary | std::ios::trunc) << AddressFileText(before) << CRLF;
  const std::string entry = ContactEntry(name, address);
  FUZZ_CHECK(AppendAddressEntry(path, entry));

  const std::optional<std::vector<std::string>> read = ReadAddressFile(path);
  FUZZ_CHECK(read);
  std::vector<std::string> expected = before;
  expected.push_back(entry);
  FUZZ_CHECK(*read == expected);
  FUZZ_CHECK(EntryAddress((*read)[2]) == address);
  return 0;
}
