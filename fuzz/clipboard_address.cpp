// The clipboard address rule: a text is taken for an e-mail address when it
// holds "@" and is at most so many characters long, counting characters of
// UTF-8, not bytes; the add-contact window takes a plain address only, which
// holds no blank, no line break and nothing that starts a list or an option.
// A recipient is sent without the white space around it (text::Trim), and what
// is left is a piece of the text that neither starts nor ends with any.
#include <clocale>
#include <cstring>
#include <cwchar>

#include "fuzz.h"
#include "platform/plain_address.h"
#include "platform/text.h"
#include "stores/addresses.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  std::vector<std::string> seeds;
  // The first byte is the longest length taken (F10 takes 44, the add-contact window 40).
  for (const std::string& text : TestCorpus()) seeds.push_back("\x2c" + text.substr(0, 200));
  seeds.push_back("\x2cjo@example.org");
  seeds.push_back("\x28j\xc3\xb6rg.m\xc3\xbcller@b\xc3\xa4"
                  "ckerei.example");
  seeds.push_back("\x2c" + std::string(44, 'a') + "@");
  seeds.push_back("\x2c\xef\xbb\xbfroot@localhost\xc2\xa0\xe2\x80\x8b");
  return seeds;
}

// Characters of valid UTF-8 by the C library's own decoder; -1 when the text
// is not valid UTF-8.
static long Utf8Characters(const std::string& text) {
  std::mbstate_t state{};
  long count = 0;
  for (size_t at = 0; at < text.size(); ++count) {
    wchar_t c;
    const size_t n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) return -1;
    at += n == 0 ? 1 : n;  // a NUL is one character too
  }
  return count;
}

}  // namespace tallow::fuzz

using namespace tallow;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool utf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  if (size == 0) return 0;
  const size_t limit = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool taken = stores::LooksLikeAddress(text, limit);
  const bool at = text.find('@') != std::string::npos;
  FUZZ_CHECK(!taken || at);
  if (at && text.size() <= limit) FUZZ_CHECK(taken);  // never fewer characters than bytes
  if (taken) FUZZ_CHECK(stores::LooksLikeAddress(text, limit + 1));
  // Counted by another decoder, where both take the text for UTF-8 (the C
  // library's also takes the old forms above U+10FFFF).
  const long characters = utf8 && text::IsUtf8(text) ? fuzz::Utf8Characters(text) : -1;
  if (characters >= 0) FUZZ_CHECK(taken == (at && static_cast<size_t>(characters) <= limit));
  const std::string trimmed = text::Trim(text);
  FUZZ_CHECK(text.find(trimmed) != std::string::npos && text::Trim(trimmed) == trimmed);
  const std::u32string ends = text::DecodeUtf8(trimmed);
  FUZZ_CHECK(ends.empty() || (!text::IsSpace(ends.front()) && !text::IsSpace(ends.back())));
  FUZZ_CHECK(text::Trim("\xc2\xa0" + text + "\xef\xbb\xbf") == trimmed);
  for (const std::string& address : {text, trimmed}) {
    if (!IsPlainAddress(address)) continue;
    FUZZ_CHECK(!address.empty() && address[0] != '-' && address.find('@') == address.rfind('@'));
    for (unsigned char c : address) FUZZ_CHECK(c > 0x20 && c < 0x7f && !std::strchr(",;<>\"()", c));
  }
  return 0;
}
