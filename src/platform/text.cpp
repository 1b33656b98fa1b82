#include "platform/text.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace tallow::text {

namespace {

// The characters of the bytes 0x80 to 0x9F in Windows-1252; the five bytes it
// leaves undefined keep their own value.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// One step of decoding at `at`: a well-formed sequence with its code point,
// or the maximal subpart of an ill-formed one.
struct Step {
  size_t length;
  char32_t c;
  bool ok;
};

Step Next(std::string_view s, size_t at) {
  const auto b = static_cast<unsigned char>(s[at]);
  if (b < 0x80) return {1, b, true};
  // The second byte's range excludes overlong forms (E0, F0), surrogates
  // (ED) and values above U+10FFFF (F4); C0, C1 and F5 to FF start nothing.
  size_t more;
  char32_t c;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    more = 1, c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    more = 2, c = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    more = 3, c = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return {1, kReplacement, false};
  }
  for (size_t k = 1; k <= more; ++k) {
    if (at + k >= s.size()) return {k, kReplacement, false};
    const auto n = static_cast<unsigned char>(s[at + k]);
    if (n < lo || n > hi) return {k, kReplacement, false};
    lo = 0x80, hi = 0xBF;
    c = (c << 6) | (n & 0x3F);
  }
  return {more + 1, c, true};
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const Step step = Next(bytes, i);
    if (!step.ok) return false;
    i += step.length;
  }
  return true;
}

std::u32string DecodeUtf8(std::string_view bytes) {
  std::u32string out;
  for (size_t i = 0; i < bytes.size();) {
    const Step step = Next(bytes, i);
    out += step.c;
    i += step.length;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : b);
  }
  return out;
}

bool ToWindows1252(std::string_view utf8, std::string& out) {
  out.clear();
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const Step step = Next(utf8, i);
    if (!step.ok) return false;
    i += step.length;
    const char32_t c = step.c;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    size_t k = 0;
    while (k < 32 && kHigh1252[k] != c) ++k;
    if (k == 32) return false;
    out += static_cast<char>(0x80 + k);
  }
  return true;
}

std::string ToUtf8(std::string_view bytes) { return IsUtf8(bytes) ? std::string(bytes) : FromWindows1252(bytes); }

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (size_t i = 0; i < utf8.size(); ++count) i += Next(utf8, i).length;
  return count;
}

size_t CharacterStart(std::string_view utf8, size_t pos) {
  for (size_t back = 1; back <= 3 && back <= pos && pos < utf8.size(); ++back) {
    const auto b = static_cast<unsigned char>(utf8[pos - back + 1]);
    if ((b & 0xC0) != 0x80) break;  // pos - back + 1 starts a character of its own
    const Step step = Next(utf8, pos - back);
    if (step.ok && step.length > back) return pos - back;
  }
  return pos;
}

std::string ToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string OneLine(std::string_view text) {
  std::string out = ToLf(text);
  if (!out.empty() && out.back() == '\n') out.pop_back();
  std::replace(out.begin(), out.end(), '\n', ' ');
  return out;
}

bool IsSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200B) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 ||
         c == 0xFEFF;
}

std::string Trim(std::string_view utf8) {
  size_t begin = utf8.size(), end = 0;
  for (size_t i = 0; i < utf8.size();) {
    const Step step = Next(utf8, i);
    if (!step.ok || !IsSpace(step.c)) {
      begin = std::min(begin, i);
      end = i + step.length;
    }
    i += step.length;
  }
  return begin < end ? std::string(utf8.substr(begin, end - begin)) : std::string();
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::u32string ForTyping(std::string_view utf8) {
  std::u32string out;
  for (char32_t c : DecodeUtf8(ToLf(utf8)))
    if (c == '\n' || c == '\t' || !IsControl(c)) out += c;
  return out;
}

}  // namespace tallow::text
