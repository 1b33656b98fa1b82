// The mail message built from any recipient, subject and body: either the
// send is refused, or the header holds exactly its fixed fields, one "To:"
// naming the recipient and nothing else, a subject that decodes back to the
// subject as one line, and a body that decodes back to the body. No input
// adds a header line or a recipient.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz.h"
#include "platform/desktop/end_signals.h"
#include "platform/desktop/mail.h"
#include "platform/plain_address.h"
#include "platform/text.h"

// The message builder is fuzzed without Qt, so without the signal watch its
// send polls beside the mail system: no signal is ever pending here.
namespace tallow::desktop {
int EndSignals::PendingFd() { return -1; }
void EndSignals::EndNow() {}
}  // namespace tallow::desktop

namespace tallow::fuzz {

// The layout FuzzedDataProvider reads: strings ended by a backslash and one
// more character, the rest as the body, and the time from the end.
static std::string Input(const std::string& to, const std::string& subject, const std::string& body) {
  auto escaped = [](const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return out + "\\;";
  };
  return escaped(to) + escaped(subject) + body + std::string("\x00\x5e\x4f\x65", 4);
}

std::vector<std::string> Seeds() {
  std::vector<std::string> seeds = {
      Input("jo@example.org", "Quarterly figures", "Dear Jo,\r\nthe figures are in.\r\n"),
      Input("root",
            "Gr\xc3\xbc\xc3\x9f"
            "e aus K\xc3\xb6ln \xe2\x82\xac",
            "\xe2\x82\xac 5\r\n.\r\nFrom the desk\r\n"),
      Input("a@b", "Subject\r\nBcc: x@y", "\r\n\r\nTo: z@w\r\n"),
      Input("a@b.c\nBcc: d@e", "s", "b"),
      Input("a@b", std::string(300, 'x'), std::string(2000, 'y') + "\r\nshort\r\n"),
  };
  for (const std::string& text : TestCorpus())
    if (text.size() < 70000) seeds.push_back(Input("user@localhost", text.substr(0, 100), text));
  return seeds;
}

std::string Base64Decode(const std::string& text, bool* ok) {
  static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0, value = 0;
  size_t pad = 0;
  for (char c : text) {
    if (c == '=') {
      ++pad;
      continue;
    }
    const size_t d = digits.find(c);
    if (d == std::string::npos || pad > 0) {
      *ok = false;
      return out;
    }
    value = value << 6 | static_cast<unsigned>(d);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((value >> bits) & 0xff);
    }
  }
  *ok = text.size() % 4 == 0 && pad <= 2;
  return out;
}

// The subject as one line: a CR LF pair, and every other control character,
// is one blank.
std::string AsOneLine(const std::string& subject) {
  std::string out;
  for (size_t i = 0; i < subject.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(subject[i]);
    if (c == '\r' && i + 1 < subject.size() && subject[i + 1] == '\n') ++i;
    out += c < 0x20 || c == 0x7f ? ' ' : static_cast<char>(c);
  }
  return out;
}

// The body with local line ends, ending in one; no NUL, which mail systems refuse.
std::string WithLocalLineEnds(const std::string& body) {
  std::string out;
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\0') continue;
    if (body[i] != '\r') {
      out += body[i];
      continue;
    }
    out += '\n';
    if (i + 1 < body.size() && body[i + 1] == '\n') ++i;
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  return out;
}

}  // namespace tallow::fuzz

using namespace tallow;
using namespace tallow::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const auto when = static_cast<std::time_t>(input.ConsumeIntegral<int32_t>());
  const std::string to = input.ConsumeRandomLengthString(300);
  const std::string subject = input.ConsumeRandomLengthString(3000);
  const std::string body = input.ConsumeRemainingBytesAsString();
  if (!IsPlainAddress(to)) return 0;  // the send is refused: no message is built
  FUZZ_CHECK(!to.empty() && to.find_first_of(" \t\r\n,;<>\"()") == std::string::npos);

  const std::string message = desktop::BuildMessage(to, subject, body, when);
  // UTF-8 throughout, as it says: text of an older file is read as Windows-1252.
  FUZZ_CHECK(text::IsUtf8(message));
  const size_t blank = message.find("\n\n");
  FUZZ_CHECK(blank != std::string::npos);
  const std::string head = message.substr(0, blank + 1), sentBody = message.substr(blank + 2);

  // The header: each field once, in order; a continuation line only in the subject.
  std::vector<std::pair<std::string, std::string>> fields;
  for (size_t start = 0; start < head.size();) {
    const size_t end = head.find('\n', start);
    const std::string line = head.substr(start, end - start);
    start = end + 1;
    FUZZ_CHECK(line.size() <= 998);
    for (unsigned char c : line) FUZZ_CHECK(c >= 0x20 && c != 0x7f);
    if (line[0] == ' ') {
      FUZZ_CHECK(!fields.empty() && fields.back().first == "Subject");
      fields.back().second += line;
      continue;
    }
    const size_t colon = line.find(": ");
    FUZZ_CHECK(colon != std::string::npos);
    fields.emplace_back(line.substr(0, colon), line.substr(colon + 2));
  }
  const std::vector<std::string> names = {"Date",         "To",           "Subject",
                                          "MIME-Version", "Content-Type", "Content-Transfer-Encoding"};
  FUZZ_CHECK(fields.size() == names.size());
  for (size_t i = 0; i < names.size(); ++i) FUZZ_CHECK(fields[i].first == names[i]);
  FUZZ_CHECK(fields[1].second == to);
  FUZZ_CHECK(fields[3].second == "1.0" && fields[4].second == "text/plain; charset=UTF-8");

  // The subject: plain, or encoded words that decode back to it.
  const std::string& sent = fields[2].second;
  std::string decoded;
  if (sent.rfind("=?UTF-8?B?", 0) != 0) {
    // A mail reader would take any "=?" for the start of an encoded word.
    FUZZ_CHECK(sent.find("=?") == std::string::npos);
    decoded = sent;
  } else {
    size_t at = 0;
    while (at < sent.size()) {
      if (sent[at] == ' ') ++at;  // the fold between two words
      FUZZ_CHECK(sent.compare(at, 10, "=?UTF-8?B?") == 0);
      const size_t end = sent.find("?=", at + 10);
      FUZZ_CHECK(end != std::string::npos && end + 2 - at <= 75);
      bool ok = true;
      decoded += Base64Decode(sent.substr(at + 10, end - at - 10), &ok);
      FUZZ_CHECK(ok);
      at = end + 2;
    }
  }
  FUZZ_CHECK(decoded == AsOneLine(text::ToUtf8(subject)));

  // The body, as it is or in base64 of its CR LF form, with lines a mail system takes.
  const std::string expected = WithLocalLineEnds(text::ToUtf8(body));
  for (size_t start = 0, lf; (lf = sentBody.find('\n', start)) != std::string::npos; start = lf + 1)
    FUZZ_CHECK(lf - start <= 998);
  if (fields[5].second == "8bit") {
    FUZZ_CHECK(sentBody == expected);
  } else {
    FUZZ_CHECK(fields[5].second == "base64");
    std::string joined;
    for (size_t start = 0, lf; (lf = sentBody.find('\n', start)) != std::string::npos; start = lf + 1) {
      FUZZ_CHECK(lf - start <= 76);
      joined += sentBody.substr(start, lf - start);
    }
    bool ok = true;
    std::string crlf;
    for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    FUZZ_CHECK(Base64Decode(joined, &ok) == crlf && ok);
  }
  return 0;
}
