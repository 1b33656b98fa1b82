// Malformed data files of every kind: empty, binary, huge, only separators,
// over every reader's limits, ending on a separator, in other encodings,
// naming paths outside the program folder. The readers' tests open each of
// them, and the fuzzers start from them.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "stores/addresses.h"

namespace tallow::testing {

inline std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

inline std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string text(n, '\0');
  for (char& c : text) c = static_cast<char>(rng() & 0xff);
  return text;
}

inline std::string Lines(int n, bool finalCrLf) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "line" + std::to_string(i) + "\r\n";
  if (!finalCrLf) text.resize(text.size() - 2);
  return text;
}

inline std::string Entries(int n) {
  std::string text;
  for (int i = 0; i < n; ++i)
    text += stores::ContactEntry("name" + std::to_string(i), "a" + std::to_string(i) + "@x.org") + "\r\n";
  return text;
}

inline std::vector<std::string> Corpus() {
  std::string allBytes;
  for (int b = 0; b < 256; ++b) allBytes += static_cast<char>(b);
  std::string high;
  for (int b = 128; b < 256; ++b) high += static_cast<char>(b);
  std::string fields25;
  for (int i = 0; i < 25; ++i) fields25 += std::to_string(i % 2) + ":\r\n";
  // One kind of input a line, as its comment names it: clang-format would give each input a line.
  // clang-format off
  return {
      "",                                               // empty
      "\r", "\n", "\r\n", ":", "*", "\t",               // one separator or blank
      std::string(1, '\0'), std::string(100, '\0'),      // NUL bytes
      std::string("\0:\0*\0\r\0\n\0", 9),
      std::string("\0\0*\0\0", 5),
      allBytes, high, "\xff\xfe", std::string(1, '\x1a'),
      RandomBytes(64 << 10, 1),                         // binary
      RandomBytes(3 << 20, 2),                          // several megabytes of binary
      std::string(4 << 20, 'x'),                        // several megabytes, no separator
      Repeat(":", 6), Repeat("*", 6), Repeat("\r", 1000), Repeat("\n", 1000),  // only separators
      Repeat("\r\n", 40000), Repeat(":", 100000), Repeat("*\r\n", 700000),
      Repeat(":\r\n", 700000), Repeat("\r\n", 1 << 20),
      Repeat(":*\r\n", 10000), Repeat("\r\r\r", 3), Repeat("\n\r", 2),
      Lines(30002, true), Lines(30001, false), Lines(100000, true),  // over the list limit
      Entries(1002), Entries(5000), Entries(1001) + Lines(50000, true),  // over the entry limit
      fields25, Repeat("1:x", 100),                     // over the settings limit
      "1:\r\n0:", "a: b*", "Subject\r", "a\rb\rc\r",    // ending on a separator
      "a\nb\nc\n", "a*b*c*", "abc*\r\n", "a:*\r\n", "*\r", ":*", "*:",
      " 1 : 0 :", "[END]", "1:0:[END]", "1:\r\n0:\r\n[END]",
      "Gr\xc3\xbc\xc3\x9f" "e\r\n\xe2\x82\xac\r\n",      // UTF-8
      "Latin caf\xe9\r\nna\xefve*\r\nb: c\xe9*\r\n",        // Windows-1252
      std::string("S\0u\0b\0\r\0\n\0", 10),              // UTF-16
      std::string(1 << 20, 'y') + "\r\n" + "body",       // one very long line
      "Default\r\n..\r\n.\r\na/b\r\n../tallowmark-corpus-escape\r\n/abs\r\n",  // names leading outside
  };
  // clang-format on
}

}  // namespace tallow::testing
