// The one place that knows how text is encoded. The program's text is UTF-8;
// data files are UTF-8 too, except older ones, written in the 8-bit code page
// Windows-1252, which are read and written back in it.
#pragma once

#include <string>
#include <string_view>

namespace tallow::text {

constexpr char32_t kReplacement = 0xFFFD;

// True when the bytes are well-formed UTF-8: no overlong form, no surrogate,
// nothing above U+10FFFF, no sequence cut short.
bool IsUtf8(std::string_view bytes);

// The code points of UTF-8 bytes, decoded strictly: each maximal subpart of
// an ill-formed sequence (the longest start of a well-formed sequence, or a
// single byte that starts none) becomes one U+FFFD. No other code point ever
// stands for bytes that are not its own UTF-8, so the result never holds a
// surrogate or a value above U+10FFFF.
std::u32string DecodeUtf8(std::string_view bytes);

// Appends the UTF-8 of one code point (a surrogate or a value above
// U+10FFFF as U+FFFD).
void AppendUtf8(std::string& out, char32_t c);

// Windows-1252 to UTF-8. Every byte has a character: the five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// controls of the same value, so that text read this way is written back to
// the same bytes.
std::string FromWindows1252(std::string_view bytes);

// UTF-8 to Windows-1252, the inverse of FromWindows1252. False, with `out`
// unspecified, when the text is not valid UTF-8 or holds a character that has
// no place in the code page.
bool ToWindows1252(std::string_view utf8, std::string& out);

// Bytes of unknown origin as text: themselves when they are valid UTF-8,
// otherwise read as Windows-1252. Never loses a byte, never adds U+FFFD.
std::string ToUtf8(std::string_view bytes);

// How many characters the text holds; an ill-formed sequence counts as the
// U+FFFD it decodes to.
size_t CharacterCount(std::string_view utf8);

// Where the character that holds byte `pos` starts: `pos` itself unless it
// falls inside a well-formed sequence. Cuts made there never split one.
size_t CharacterStart(std::string_view utf8, size_t pos);

// Line breaks: the data files and the model's multi-line boxes hold CR LF,
// widgets and mail systems LF. An older file or a paste may bring a lone CR,
// which counts as a line break too.

// Each CR LF, CR or LF as one LF.
std::string ToLf(std::string_view text);

// Each LF as CR LF: for text whose line breaks are LF.
std::string ToCrLf(std::string_view text);

// The text on one line: each line break (CR LF, CR or LF) one blank, and one
// at the very end dropped.
std::string OneLine(std::string_view text);

// White space around a word: Unicode's white space (blanks, tabs, line
// breaks, the no-break space and the other spaces), and the zero-width space
// and the byte-order mark, which a copied text may bring along unseen.
bool IsSpace(char32_t c);

// The text without the white space around it (IsSpace); what lies between
// stays, byte for byte, white space and ill-formed bytes alike.
std::string Trim(std::string_view utf8);

// A control character: C0, DEL or C1 (U+0080 to U+009F: a C1 control
// reaches a terminal as a raw 8-bit command).
bool IsControl(char32_t c);

// A text as the keys that type it: its characters, each line break (CR LF,
// CR or LF) as one '\n', every control character but tab left out. Decoded
// strictly, so nothing else than the text's own characters and U+FFFD is
// ever typed.
std::u32string ForTyping(std::string_view utf8);

}  // namespace tallow::text
