// The settings file: at most 21 fields, each the text before a ":", the ":"
// and the one character after it dropped; nothing after the last field that
// a reader could still take is left unread. What the program writes reads
// back as the two choices it wrote.
#include <fstream>

#include "desk/lists.h"
#include "fuzz.h"
#include "stores/files.h"
#include "stores/settings.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  auto seeds = TestCorpus();
  seeds.push_back("1:\r\n0:\r\n[END]\r\n");
  seeds.push_back("0:\r\n1.5:\r\n[END]\r\n");
  seeds.push_back(" 1e0:\r\n-0.9:\r\n");
  return seeds;
}

}  // namespace tallow::fuzz

using namespace tallow;
using namespace tallow::stores;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string& folder = fuzz::Scratch();
  fuzz::BareHost host;
  Form form(host, "Window");
  ListBox fields(form, "List2");

  std::ofstream(JoinPath(folder, kSettingsFile), std::ios::binary | std::ios::trunc) << text;
  desk::ReFreshSettings(folder, fields, true);
  const std::vector<std::string> raw = ParseSettings(text);
  FUZZ_CHECK(raw.size() <= 21 && fields.Items().size() == raw.size());
  const Encoding encoding = EncodingOf(text);
  for (size_t i = 0; i < raw.size(); ++i) FUZZ_CHECK(fields.List(static_cast<int>(i)) == Decode(raw[i], encoding));
  // The fields stand in the text in order, each before its ":", one
  // character skipped after it.
  size_t pos = 0;
  for (const std::string& field : raw) {
    FUZZ_CHECK(field.find(':') == std::string::npos);
    FUZZ_CHECK(text.compare(pos, field.size(), field) == 0 && text[pos + field.size()] == ':');
    pos += field.size() + 2;
  }
  // Fewer than 21 only when no field is left to take.
  if (raw.size() < 21) FUZZ_CHECK(pos > text.size() || text.find(':', pos) == std::string::npos);
  for (const std::string& field : fields.Items()) FlagChooses(field);  // any field: an answer, no fault

  // The program's own file gives back the choice it holds.
  const bool express = size > 0 && (data[0] & 1), outlook = !express;
  FUZZ_CHECK(WriteSettings(folder, express, outlook));
  desk::ReFreshSettings(folder, fields, true);
  FUZZ_CHECK(fields.ListCount() == 2);
  FUZZ_CHECK(FlagChooses(fields.List(0)) == express && FlagChooses(fields.List(1)) == outlook);
  return 0;
}
