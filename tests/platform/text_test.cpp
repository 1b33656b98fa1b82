// The text module: strict UTF-8, Windows-1252 both ways, and the characters
// the typing may type.
#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"

namespace tallow::testing {
namespace {

using namespace tallow::text;

constexpr char32_t R = kReplacement;

TEST(Utf8, EachMaximalSubpartOfABrokenSequenceIsOneReplacement) {
  struct Case {
    std::string bytes;
    std::u32string chars;
  };
  const Case broken[] = {
      {"a\xC0\xAF" "b", {'a', R, R, 'b'}},                 // overlong "/": C0 starts nothing
      {"\xE0\x80\xAF", {R, R, R}},                         // overlong, three bytes
      {"\xF0\x80\x80\xAF", {R, R, R, R}},                  // overlong, four bytes
      {"\xED\xA0\x80", {R, R, R}},                         // surrogate U+D800
      {"\xF4\x90\x80\x80", {R, R, R, R}},                  // U+110000
      {"\xF5\x80", {R, R}}, {"\xFF", {R}}, {"\x80", {R}},   // bytes that start nothing
      {"\xE2\x82" "x", {R, 'x'}},                          // cut short: one replacement
      {"\xF0\x9F\x98", {R}},                               // cut short at the end
      // The example of the Unicode standard.
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
  };
  for (const Case& c : broken) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(DecodeUtf8(c.bytes), c.chars);
    EXPECT_FALSE(IsUtf8(c.bytes));
    EXPECT_EQ(CharacterCount(c.bytes), c.chars.size());
  }
  // Well-formed: the edges of each length, and a replacement character of its own.
  const Case good[] = {
      {std::string("\x00\x7F", 2), {0, 0x7F}}, {"\xC2\x80\xDF\xBF", {0x80, 0x7FF}},
      {"\xE0\xA0\x80\xED\x9F\xBF", {0x800, 0xD7FF}}, {"\xEE\x80\x80\xEF\xBF\xBD", {0xE000, R}},
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", {0x10000, 0x10FFFF}},
  };
  for (const Case& c : good) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(DecodeUtf8(c.bytes), c.chars);
    EXPECT_TRUE(IsUtf8(c.bytes));
  }
}

TEST(Utf8, EveryCodePointRoundTripsAndNoInputDecodesOutOfRange) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string bytes;
    AppendUtf8(bytes, c);
    ASSERT_TRUE(IsUtf8(bytes)) << static_cast<unsigned long>(c);
    ASSERT_EQ(DecodeUtf8(bytes), std::u32string(1, c));
  }
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(rng() % 12, '\0');
    for (char& b : bytes) b = static_cast<char>(0x7C + rng() % 0x84);  // mostly high bytes
    std::string again;
    for (char32_t c : DecodeUtf8(bytes)) {
      ASSERT_FALSE((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF);
      AppendUtf8(again, c);
    }
    // Decoding never changes well-formed text, and always yields well-formed text.
    EXPECT_TRUE(IsUtf8(again));
    if (IsUtf8(bytes)) {
      EXPECT_EQ(again, bytes);
    }
  }
}

TEST(Utf8, CharacterStartNeverSplitsACharacter) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "b\x80";  // a é € 😀 b, stray byte
  const size_t starts[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11};
  for (size_t pos = 0; pos < text.size(); ++pos) EXPECT_EQ(CharacterStart(text, pos), starts[pos]) << pos;
}

TEST(Windows1252, EveryByteHasACharacterAndComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string text = FromWindows1252(all);
  EXPECT_TRUE(IsUtf8(text));
  std::string back;
  ASSERT_TRUE(ToWindows1252(text, back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(FromWindows1252("caf\xE9 \x80 \x9F \x81\x8D\x8F\x90\x9D"), "café € Ÿ \u0081\u008D\u008F\u0090\u009D");

  for (const char* lacking : {"Łódź", "\u0080", "\u009B", "✓", "caf\xE9"}) {  // the last: not UTF-8
    SCOPED_TRACE(lacking);
    EXPECT_FALSE(ToWindows1252(lacking, back));
  }
  EXPECT_EQ(ToUtf8("caf\xC3\xA9"), "café");  // UTF-8 stays
  EXPECT_EQ(ToUtf8("caf\xE9"), "café");      // anything else is Windows-1252
}

TEST(ForTyping, LineBreaksAndControlCharacters) {
  EXPECT_EQ(ForTyping("a\r\nb\nc\rd"), U"a\nb\nc\nd");
  EXPECT_EQ(ForTyping("\r\n\r\n"), U"\n\n");
  EXPECT_EQ(ForTyping("t\tx\x01\x7f"), U"t\tx");
  EXPECT_EQ(ForTyping("é€ß✓"), U"é€ß✓");
  // No C1 control (U+0080 to U+009F); U+00A0 is text.
  EXPECT_EQ(ForTyping("a\u0080b\u0085c\u009Bd\u009F\u00A0"), U"abcd\u00A0");
  // Broken UTF-8 is typed only as replacement characters, never as another character.
  EXPECT_EQ(ForTyping("a\xff" "b\xc3"), U"a\uFFFDb\uFFFD");
  EXPECT_EQ(ForTyping("\xC0\xAF\xC1\x9B"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace tallow::testing
