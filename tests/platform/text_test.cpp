// The text module: strict UTF-8, Windows-1252 both ways, line breaks, and
// the characters the typing may type.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace tallow::testing {
namespace {

using namespace tallow::text;

constexpr char32_t R = kReplacement;

TEST(Utf8, EachMaximalSubpartOfABrokenSequenceIsOneReplacement) {
  // One case a line: clang-format would spread a literal split to end its hex escape over three.
  // clang-format off
  const std::pair<std::string, std::u32string> broken[] = {
      {"a\xC0\xAF" "b", {'a', R, R, 'b'}},  // overlong "/": C0 starts nothing
      {"\xE0\x80\xAF", {R, R, R}},          // overlong
      {"\xED\xA0\x80", {R, R, R}},          // surrogate U+D800
      {"\xF4\x90\x80\x80", {R, R, R, R}},   // U+110000
      {"\xE2\x82" "x", {R, 'x'}},           // cut short
      // The example of the Unicode standard.
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
  };
  // clang-format on
  for (const auto& [bytes, chars] : broken) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    EXPECT_EQ(DecodeUtf8(bytes), chars);
    EXPECT_FALSE(IsUtf8(bytes));
    EXPECT_EQ(CharacterCount(bytes), chars.size());
  }
  // Every code point but the surrogates, at every length, comes back whole.
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string bytes;
    AppendUtf8(bytes, c);
    ASSERT_TRUE(IsUtf8(bytes) && DecodeUtf8(bytes) == std::u32string(1, c)) << static_cast<unsigned long>(c);
  }
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

TEST(LineBreaks, CrLfToLinesAndBack) {
  EXPECT_EQ(ToLf("a\r\nb\rc\n"), "a\nb\nc\n");
  EXPECT_EQ(ToCrLf("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(ToCrLf(ToLf("x\r\n\r\ny")), "x\r\n\r\ny");
}

TEST(IsControl, C0DelAndC1Only) {
  for (char32_t c : {0x00, 0x09, 0x0A, 0x1F, 0x7F, 0x80, 0x9F}) EXPECT_TRUE(IsControl(c)) << static_cast<int>(c);
  for (char32_t c : {0x20, 0x7E, 0xA0, 0xFFFD}) EXPECT_FALSE(IsControl(c)) << static_cast<int>(c);
}

TEST(Trim, UnicodeWhiteSpaceAroundGoesWhatLiesBetweenStays) {
  // Each kind around an address, as a copy brings it: a no-break space, the
  // other spaces, line breaks, the zero-width space, the byte-order mark.
  for (const char* space : {" ", "\t", "\r\n", "\u00A0", "\u1680", "\u2000", "\u2007", "\u200A", "\u200B", "\u2028",
                            "\u202F", "\u205F", "\u3000", "\uFEFF", "\u0085"}) {
    SCOPED_TRACE(::testing::PrintToString(std::string(space)));
    EXPECT_EQ(Trim(std::string(space) + "root@localhost" + space + space), "root@localhost");
    EXPECT_EQ(Trim(std::string("a") + space + "b"), std::string("a") + space + "b");
    EXPECT_EQ(Trim(std::string(space) + space), "");
  }
  // Not white space: a word joiner, a replacement character, broken UTF-8.
  for (const char* kept : {"\u2060", "\uFFFD", "\xC2", "\xE2\x80", "\xA0"})
    EXPECT_EQ(Trim(std::string("\u00A0") + kept + "\u00A0"), kept);
  EXPECT_EQ(Trim(""), "");
}

TEST(ForTyping, LineBreaksAndControlCharacters) {
  EXPECT_EQ(ForTyping("a\r\nb\nc\rd"), U"a\nb\nc\nd");
  EXPECT_EQ(ForTyping("\r\n\r\n"), U"\n\n");
  EXPECT_EQ(ForTyping("t\tx\x01\x7f"), U"t\tx");
  EXPECT_EQ(ForTyping("é€ß✓"), U"é€ß✓");
  // No C1 control (U+0080 to U+009F); U+00A0 is text.
  EXPECT_EQ(ForTyping("a\u0080b\u0085c\u009Bd\u009F\u00A0"), U"abcd\u00A0");
  // Broken UTF-8 is typed only as replacement characters, never as another character.
  EXPECT_EQ(ForTyping("a\xff"
                      "b\xc3"),
            U"a\uFFFDb\uFFFD");
  EXPECT_EQ(ForTyping("\xC0\xAF\xC1\x9B"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace tallow::testing
