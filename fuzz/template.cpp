// Templates and information entries: a file's subject is the text before its
// first CR, its message the text after its first LF, whatever the file holds;
// listed and opened from a real folder. What the program writes (a one-line
// subject, CR LF, any message) reads back as it was written.
#include <filesystem>
#include <fstream>

#include "desk/lists.h"
#include "fuzz.h"
#include "platform/text.h"
#include "stores/files.h"
#include "stores/templates.h"

namespace tallow::fuzz {

std::vector<std::string> Seeds() {
  auto seeds = TestCorpus();
  seeds.push_back("Meeting on Monday\r\nDear all,\r\nsee you at 10.\r\n");
  seeds.push_back("Subject\rsecond line\r\nmessage\r\n");
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
  FileListBox files(form, "File1", "*.txt");
  ListBox list(form, "List1");
  TextBox subject(form, "txtSubject"), message(form, "txtMessage");
  message.multiLine = true;  // as every window's message box; a subject box is one line

  // Any file, as whatever program left it: the subject stops at the first CR,
  // the message follows the first LF, each the whole text without one, and
  // each is text by the encoding of the whole file.
  const size_t cr = text.find('\r'), lf = text.find('\n');
  const Encoding encoding = EncodingOf(text);
  const std::string expectedSubject = Decode(cr == std::string::npos ? text : text.substr(0, cr), encoding);
  const std::string expectedMessage = Decode(lf == std::string::npos ? text : text.substr(lf + 1), encoding);
  for (const char* pattern : {"*.txt", "*.txx"}) {
    std::error_code ec;
    for (const char* old : {"/entry.txt", "/entry.txx"}) std::filesystem::remove(folder + old, ec);
    const std::string name = std::string("entry") + (pattern + 1);
    std::ofstream(JoinPath(folder, name), std::ios::binary) << text;
    files.SetPattern(pattern);
    desk::LoadTemplate(folder, files, list);
    FUZZ_CHECK(list.ListCount() == 1 && files.List(0) == name);
    FUZZ_CHECK(list.List(0) == expectedSubject && text::IsUtf8(expectedSubject));
    list.SetListIndex(0);
    desk::OpenListMessage(folder, list, files, subject, message);
    FUZZ_CHECK(subject.Text() == text::OneLine(expectedSubject));
    FUZZ_CHECK(message.Text() == expectedMessage);
  }

  // What a save writes: the subject as a one-line box holds it, and any message.
  const std::string oneLine = text::OneLine(expectedSubject), body = expectedMessage;
  files.SetPattern("*.txt");
  FUZZ_CHECK(WriteWholeText(JoinPath(folder, "entry.txt"), TemplateText(oneLine, body)));
  desk::LoadTemplate(folder, files, list);
  list.SetListIndex(0);
  desk::OpenListMessage(folder, list, files, subject, message);
  FUZZ_CHECK(list.List(0) == oneLine && subject.Text() == oneLine);
  FUZZ_CHECK(message.Text() == body + CRLF);
  return 0;
}
