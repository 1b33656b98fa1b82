// The text typed into another program: its characters as they are, each line
// break (CR LF, CR or LF) as one line feed, and no control character but tab;
// bytes that are not UTF-8 become U+FFFD and nothing else. The strict decoder
// under it gives valid UTF-8 back byte for byte and never a code point that
// is not a character.
#include "fuzz.h"
#include "platform/text.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  auto seeds = TestCorpus();
  for (auto& seed : seeds) seed.resize(std::min<size_t>(seed.size(), 4096));
  seeds.push_back("Dear Jo,\r\nthe figures\tare in.\rBye\n");
  seeds.push_back("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xc2\x85 \x1b[31m");
  seeds.push_back("\xed\xa0\x80 \xf4\x90\x80\x80 \xc0\xaf \xe2\x82");
  return seeds;
}

// The text as its keys, by bytes: line breaks as "\n", C0, DEL and C1
// controls (U+0080 to U+009F, two bytes each) but tab left out. For valid
// UTF-8 only.
static std::string Typed(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == '\r') {
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += '\n';
    } else if (c == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9f) {
      ++i;
    } else if ((c >= 0x20 && c != 0x7f) || c == '\n' || c == '\t') {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace tallow::fuzz

using namespace tallow;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool valid = text::IsUtf8(bytes);

  const std::u32string decoded = text::DecodeUtf8(bytes);
  std::string again;
  for (char32_t c : decoded) {
    FUZZ_CHECK(c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF));
    text::AppendUtf8(again, c);
  }
  FUZZ_CHECK((again == bytes) == valid);
  FUZZ_CHECK(text::IsUtf8(again) && decoded.size() <= bytes.size());
  FUZZ_CHECK(text::CharacterCount(bytes) == decoded.size());
  for (size_t pos = 0; pos < bytes.size(); pos += 1 + pos / 3) {
    const size_t start = text::CharacterStart(bytes, pos);
    FUZZ_CHECK(start <= pos);
    if (valid) FUZZ_CHECK(text::IsUtf8(bytes.substr(0, start)));
  }

  const std::u32string keys = text::ForTyping(bytes);
  std::string typed;
  for (char32_t c : keys) {
    FUZZ_CHECK(c == '\n' || c == '\t' || (c >= 0x20 && c != 0x7f && !(c >= 0x80 && c <= 0x9f)));
    FUZZ_CHECK(c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF));
    text::AppendUtf8(typed, c);
  }
  FUZZ_CHECK(keys.size() <= decoded.size());
  if (valid) FUZZ_CHECK(typed == fuzz::Typed(bytes));
  // Text that is also Windows-1252 bytes reads back as those bytes.
  std::string older;
  if (valid && text::ToWindows1252(bytes, older)) FUZZ_CHECK(text::FromWindows1252(older) == bytes);
  FUZZ_CHECK(text::IsUtf8(text::ToUtf8(bytes)) && (!valid || text::ToUtf8(bytes) == bytes));
  return 0;
}
