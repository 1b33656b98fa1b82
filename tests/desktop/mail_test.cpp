// The message both mail roads build, the roads over a sendmail of the test's
// own, and delivery through the real local mail system.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "platform/desktop/end_signals.h"
#include "platform/desktop/mail.h"
#include "platform/plain_address.h"
#include "support/fixture.h"
#include "support/needs.h"

namespace tallow::desktop {
namespace {

namespace fs = std::filesystem;

using tallow::testing::ReadFile;

// The header block and the body of a built message.
std::pair<std::string, std::string> Split(const std::string& msg) {
  size_t blank = msg.find("\n\n");
  return {msg.substr(0, blank + 1), msg.substr(blank + 2)};
}

std::string DecodeWords(std::string header) {
  std::regex word(R"(=\?UTF-8\?B\?([A-Za-z0-9+/=]*)\?=)");
  std::string out;
  for (std::sregex_iterator it(header.begin(), header.end(), word), end; it != end; ++it)
    out += QByteArray::fromBase64(QByteArray::fromStdString((*it)[1].str())).toStdString();
  return out;
}

TEST(BuildMessage, HeadersInOrderAndBodyWithLocalLineEnds) {
  const std::string msg = BuildMessage("someone@example.org", "Hello there", "Line 1\r\nLine 2\r\n.\r\nend", 0);
  auto [head, body] = Split(msg);
  EXPECT_TRUE(std::regex_match(head, std::regex("Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d "
                                                "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} "
                                                "\\d\\d:\\d\\d:\\d\\d [+-]\\d{4}\n"
                                                "To: someone@example.org\n"
                                                "Subject: Hello there\n"
                                                "MIME-Version: 1.0\n"
                                                "Content-Type: text/plain; charset=UTF-8\n"
                                                "Content-Transfer-Encoding: 8bit\n")))
      << head;
  EXPECT_EQ(body, "Line 1\nLine 2\n.\nend\n");
  EXPECT_EQ(Split(BuildMessage("a@b.c", "s", "", 0)).second, "\n");
  EXPECT_EQ(Split(BuildMessage("a@b.c", "s", "x\ry\n", 0)).second, "x\ny\n");
  // Mail systems refuse a message holding NUL (dma: "bad mail input format").
  EXPECT_EQ(Split(BuildMessage("a@b.c", "s", std::string("\0a\0\r\nb\0", 7), 0)).second, "a\nb\n");
}

// Base64 lines of at most 76 characters, decoded.
std::string DecodeLines(const std::string& body) {
  std::string joined;
  std::istringstream lines(body);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 76u);
    joined += line;
  }
  return QByteArray::fromBase64(QByteArray::fromStdString(joined), QByteArray::AbortOnBase64DecodingErrors)
      .toStdString();
}

TEST(BuildMessage, ABodyLineLongerThanAMailLineGoesInBase64) {
  const std::string paragraph = "Grüße " + std::string(3000, 'x');
  auto [head, body] = Split(BuildMessage("a@b.c", "s", "Start\r\n" + paragraph + "\r\n.\r\nend", 0));
  EXPECT_NE(head.find("\nContent-Transfer-Encoding: base64\n"), std::string::npos) << head;
  EXPECT_EQ(head.find("8bit"), std::string::npos) << head;
  EXPECT_EQ(DecodeLines(body), "Start\r\n" + paragraph + "\r\n.\r\nend\r\n");
  // A long paragraph that mail systems still take goes as it is.
  const std::string fits(900, 'y');
  EXPECT_EQ(Split(BuildMessage("a@b.c", "s", fits + "\r\n" + fits, 0)).second, fits + "\n" + fits + "\n");
}

TEST(BuildMessage, SubjectNeverStartsAHeaderOfItsOwn) {
  auto [head, body] = Split(BuildMessage("a@b.c", "Hi\r\nBcc: victim@example.org\nX: y\r", "body", 0));
  EXPECT_NE(head.find("Subject: Hi Bcc: victim@example.org X: y \n"), std::string::npos) << head;
  EXPECT_EQ(head.find("\nBcc:"), std::string::npos);
  EXPECT_EQ(head.find("\nX:"), std::string::npos);
}

TEST(BuildMessage, SubjectOutsideAsciiIsEncodedInShortWords) {
  const std::string subject = "Grüße – € and ß, and a good deal more text so that it needs several words ✓";
  auto [head, body] = Split(BuildMessage("a@b.c", subject, "x", 0));
  size_t from = head.find("Subject: "), to = head.find("\nMIME-Version");
  std::string field = head.substr(from + 9, to - from - 9);
  EXPECT_EQ(DecodeWords(field), subject);
  std::istringstream lines(field);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    if (count > 1) {
      EXPECT_EQ(line.rfind(" =?UTF-8?B?", 0), 0u) << line;  // continuation lines
    }
    EXPECT_LE(line.size(), 76u);
    for (char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7f);
  }
  EXPECT_GT(count, 1);
  // Each word decodes to whole characters.
  std::regex word(R"(=\?UTF-8\?B\?([A-Za-z0-9+/=]*)\?=)");
  for (std::sregex_iterator it(field.begin(), field.end(), word), end; it != end; ++it) {
    QByteArray bytes = QByteArray::fromBase64(QByteArray::fromStdString((*it)[1].str()));
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes);
  }
}

// Found by fuzzing: a subject the user typed that looks like an encoded word
// reached the receiver decoded ("Hi") instead of as typed.
TEST(BuildMessage, ASubjectThatLooksEncodedIsEncodedItself) {
  const std::string subject = "=?UTF-8?B?SGk=?= and 1+1=?";
  auto [head, body] = Split(BuildMessage("a@b.c", subject, "x", 0));
  const size_t from = head.find("Subject: ") + 9, to = head.find("\nMIME-Version");
  const std::string field = head.substr(from, to - from);
  EXPECT_EQ(field.find(" and "), std::string::npos) << field;  // none of it plain
  EXPECT_EQ(DecodeWords(field), subject);
}

// Valid UTF-8 by Qt's own decoder, which replaces what is not.
bool IsUtf8(const std::string& bytes) {
  const QByteArray raw = QByteArray::fromStdString(bytes);
  return QString::fromUtf8(raw).toUtf8() == raw;
}

TEST(BuildMessage, TextOfAnOlderFileIsSentAsTheUtf8ItSays) {
  // Windows-1252, as the files of older systems hold it.
  const std::string msg = BuildMessage("a@b.c", "Latin caf\xE9", "na\xEFve body \x80\r\n", 0);
  EXPECT_TRUE(IsUtf8(msg)) << msg;
  auto [head, body] = Split(msg);
  const size_t from = head.find("Subject: "), to = head.find("\nMIME-Version");
  EXPECT_EQ(DecodeWords(head.substr(from + 9, to - from - 9)), "Latin café");
  EXPECT_EQ(body, "naïve body €\n");
}

TEST(IsPlainAddress, OneAddressAndNothingElse) {
  for (const char* good : {"someone@example.org", "first.last+tag@mail.example.co.uk", "root", "a_b-c@x-y.z"})
    EXPECT_TRUE(IsPlainAddress(good)) << good;
  for (const char* bad :
       {"", "a@b.c\r\nBcc: x@y.z", "a@b.c\n", "Some One <a@b.c>", "a@b.c, d@e.f", "a@b.c;d@e.f", " a@b.c", "a b@c.d",
        "@b.c", "a@", "a@b@c", "-oQ/tmp", "a@b_c", "\"q\"@b.c", "é@b.c", "a\u00A0b@c.d"})
    EXPECT_FALSE(IsPlainAddress(bad)) << bad;
}

// A sendmail of the test's own: records its arguments and what it read, and
// exits with the given status after saying something on its error output.
class FakeSendmail : public ::testing::Test {
 protected:
  void SetUp() override { Script(0, ""); }
  void Script(int status, const std::string& says) {
    std::string text = "echo \"$@\" > '" + (dir / "args").string() + "'\n" + "cat > '" + (dir / "message").string() +
                       "'\n";
    if (!says.empty()) text += "echo '" + says + "' >&2\n";
    ScriptText(text + "exit " + std::to_string(status) + "\n");
  }
  // A sendmail that runs these shell lines in the test's folder.
  void ScriptText(const std::string& lines) {
    std::ofstream out(dir / "sendmail");
    out << "#!/bin/sh\ncd '" << dir.string() << "'\n" << lines;
    out.close();
    fs::permissions(dir / "sendmail", fs::perms::owner_all);
  }
  std::string Program() const { return (dir / "sendmail").string(); }
  tallow::testing::TempDir folder;
  const fs::path dir = folder.path();
};

TEST_F(FakeSendmail, AutomationRoadHandsOneMessageToSendmail) {
  SendmailMail mail(Program());
  auto app = mail.CreateObject("Outlook.application");
  auto item = app->CreateItem(0);
  item->SetSubject("Subject A");
  item->SetTo("someone@example.org");
  item->SetBody("Body\r\n");
  item->Send();
  EXPECT_EQ(ReadFile(dir / "args"), "-t -i\n");
  std::string msg = ReadFile(dir / "message");
  EXPECT_NE(msg.find("\nTo: someone@example.org\nSubject: Subject A\n"), std::string::npos) << msg;
  EXPECT_EQ(Split(msg).second, "Body\n");

  EXPECT_THROW(app->CreateItem(1), MailError);
  EXPECT_THROW(mail.CreateObject("Word.Application"), MailError);
  EXPECT_NO_THROW(mail.CreateObject("OUTLOOK.APPLICATION"));
}

TEST_F(FakeSendmail, FailuresCarryTheReason) {
  SendmailMail missing((dir / "nothing-here").string());
  try {
    missing.CreateObject("Outlook.application");
    FAIL() << "created without a mail system";
  } catch (const MailError& e) {
    EXPECT_NE(std::string(e.what()).find("not installed"), std::string::npos) << e.what();
  }
  EXPECT_THROW(missing.SignOn(), MailError);

  Script(75, "dma: cannot deliver: disk full");
  SendmailMail mail(Program());
  auto item = mail.CreateObject("Outlook.application")->CreateItem(0);
  item->SetTo("someone@example.org");
  item->SetSubject("s");
  item->SetBody("b");
  try {
    item->Send();
    FAIL() << "a refused message counted as sent";
  } catch (const MailError& e) {
    EXPECT_STREQ(e.what(), "dma: cannot deliver: disk full");
  }
  Script(1, "");
  EXPECT_THROW(item->Send(), MailError);

  fs::remove(dir / "message");
  item->SetTo("a@b.c\r\nBcc: x@y.z");
  EXPECT_THROW(item->Send(), MailError);
  EXPECT_FALSE(fs::exists(dir / "message"));  // refused before sendmail ran
}

TEST_F(FakeSendmail, AMailSystemThatHangsIsStoppedAndTheSendFails) {
  const std::string big = BuildMessage("a@b.c", "s", std::string(300000, 'x'), 0);  // more than a pipe holds
  for (const char* hang : {"sleep 30\n", "cat > message\nsleep 30\n"}) {
    ScriptText(std::string("echo $$ > pid\n") + hang);
    try {
      Sendmail(Program(), big, std::chrono::milliseconds(300));
      FAIL() << "a mail system that never finished counted as sent";
    } catch (const MailError& e) {
      EXPECT_NE(std::string(e.what()).find("did not finish"), std::string::npos) << e.what();
    }
    const std::string pid = ReadFile(dir / "pid");  // empty when it was stopped before it got so far
    if (!pid.empty()) {
      EXPECT_NE(::kill(std::stoi(pid), 0), 0) << "it was left running";
    }
  }
}

// A signal to end the program while the mail system holds the send up: the
// ending runs at once. A message the mail system has taken whole is left to
// it; one it has not is stopped first, so that no part of it goes out.
TEST_F(FakeSendmail, TheEndingDoesNotWaitForTheMailSystem) {
  const std::string small = "To: a@b.c\n\nbody\n";
  const std::string big = BuildMessage("a@b.c", "s", std::string(300000, 'x'), 0);  // more than a pipe holds
  for (const bool whole : {true, false}) {
    fs::remove(dir / "pid");
    ScriptText(whole ? "echo $$ > pid\ncat > message\nsleep 30\n" : "echo $$ > pid\nsleep 30\n");
    int runningAtTheEnding = -1;
    EndSignals ending([&] {
      const pid_t pid = std::stoi(ReadFile(dir / "pid"));
      runningAtTheEnding = ::kill(pid, 0) == 0;
      ::kill(-pid, SIGKILL);  // the program would be gone; here the send goes on to its end
    });
    std::thread signal([&] {
      const auto ready = [&] {
        return whole ? fs::exists(dir / "message") && fs::file_size(dir / "message") == small.size()
                     : !ReadFile(dir / "pid").empty();
      };
      for (int i = 0; i < 1000 && !ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ::kill(::getpid(), SIGTERM);
    });
    EXPECT_THROW(Sendmail(Program(), whole ? small : big, std::chrono::seconds(10)), MailError);
    signal.join();
    EXPECT_EQ(runningAtTheEnding, whole ? 1 : 0) << (whole ? "whole" : "in part");
  }
}

// A mail system that says far too much before it fails: the first few KiB of
// it, cut between characters and marked as cut, make the failure text; the
// rest is read and dropped, so that the mail system does not wait on a full pipe.
TEST_F(FakeSendmail, WhatAMailSystemSaysIsCutToTheFirstFewKiB) {
  // 12 bytes a line after one more: the first 4 KiB end inside a "ü".
  ScriptText("cat > message\n(printf x; yes 'Grüße €') | head -c 20000000 >&2\necho finished > finished\nexit 1\n");
  try {
    Sendmail(Program(), "To: a@b.c\n\nbody\n");
    FAIL() << "a refused message counted as sent";
  } catch (const MailError& e) {
    const std::string said = e.what();
    EXPECT_LT(said.size(), 8192u);
    EXPECT_GT(said.size(), 1024u);
    EXPECT_EQ(said.rfind("xGrüße €\nGrüße €\n", 0), 0u);
    const std::string note = "\n(The mail system said more; the rest is left out.)";
    ASSERT_GT(said.size(), note.size());
    EXPECT_EQ(said.substr(said.size() - note.size()), note);
    EXPECT_TRUE(IsUtf8(said.substr(0, said.size() - note.size()))) << "cut in the middle of a character";
  }
  EXPECT_EQ(ReadFile(dir / "finished"), "finished\n");
}

TEST_F(FakeSendmail, AHelperLeftRunningDoesNotHoldTheSendUp) {
  // It takes the message and ends; its helper goes on with our pipe open.
  ScriptText("echo $$ > pid\ncat > message\n(sleep 60; echo late) &\nexit 0\n");
  EXPECT_NO_THROW(Sendmail(Program(), "To: a@b.c\n\nbody\n", std::chrono::milliseconds(20000)));
  EXPECT_EQ(ReadFile(dir / "message"), "To: a@b.c\n\nbody\n");
  ::kill(-std::stoi(ReadFile(dir / "pid")), SIGKILL);  // the helper, in its process group
}

TEST_F(FakeSendmail, SimpleMapiRoadInItsOrder) {
  SendmailMail mail(Program());
  mail.SignOn();
  mail.SetDownLoadMail(false);
  long id = mail.SessionID();
  EXPECT_NE(id, 0);
  mail.SetMessagesSessionID(id);
  mail.Compose();
  mail.SetRecipAddress("someone@example.org");
  mail.ResolveName();
  mail.SetMsgSubject("Über");
  mail.SetMsgNoteText("Text\r\n\r\n   ");
  mail.Send(false);
  mail.SignOff();
  std::string msg = ReadFile(dir / "message");
  EXPECT_NE(msg.find("Subject: =?UTF-8?B?"), std::string::npos);
  EXPECT_EQ(Split(msg).second, "Text\n\n   \n");

  // Not signed on any more: the next send is refused.
  mail.Compose();
  mail.SetRecipAddress("someone@example.org");
  EXPECT_THROW(mail.Send(false), MailError);

  mail.SignOn();
  mail.SetMessagesSessionID(mail.SessionID());
  mail.Compose();
  mail.SetRecipAddress("Someone <someone@example.org>");
  EXPECT_THROW(mail.ResolveName(), MailError);
  EXPECT_THROW(mail.Send(false), MailError);
}

// ---- delivery by the real local mail system ----------------------------------------
std::string UserName() {
  passwd* pw = ::getpwuid(::getuid());
  return pw ? pw->pw_name : "root";
}

// The message in the mailbox that holds `token`, or "" when it has not come.
// The mailbox is read under the lock the mail system writes it under, so a
// message found is whole.
std::string FindDelivered(const std::string& token) {
  const fs::path box = fs::path("/var/mail") / UserName();
  for (int i = 0; i < 200; ++i) {
    std::string all = tallow::testing::ReadFileLocked(box);
    size_t at = all.rfind(token);
    if (at != std::string::npos) {
      size_t start = all.rfind("\nFrom ", at);
      start = start == std::string::npos ? 0 : start + 1;
      size_t end = all.find("\nFrom ", at);
      return all.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return {};
}

std::string Unique(const char* road) {
  return std::string("tallowmark-") + road + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

class Delivery : public ::testing::Test {
 protected:
  void SetUp() override {
    TALLOWMARK_NEEDS(::access(kSendmail, X_OK) == 0, "no local mail system (" + std::string(kSendmail) + ")");
  }
  // The body as a user wrote it (CR LF), with a line holding a lone "." and
  // characters outside ASCII.
  std::string Body(const std::string& token) {
    return "Dear friend,\r\n.\r\nThe line above is a lone dot. é € ß\r\n" + token + "\r\n";
  }
  void Check(const std::string& delivered, const std::string& token, const std::string& subjectLine) {
    ASSERT_FALSE(delivered.empty()) << "the message did not arrive in /var/mail/" << UserName();
    auto [head, body] = Split(delivered);
    EXPECT_NE(head.find("\nTo: " + UserName() + "\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\n" + subjectLine + "\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\nContent-Type: text/plain; charset=UTF-8\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\nDate: "), std::string::npos) << head;
    EXPECT_EQ(body.substr(0, body.find(token) + token.size() + 1),
              "Dear friend,\n.\nThe line above is a lone dot. é € ß\n" + token + "\n");
  }
};

TEST_F(Delivery, AutomationRoadDeliversIntoTheMailbox) {
  SendmailMail mail;
  const std::string token = Unique("automation");
  auto item = mail.CreateObject("Outlook.application")->CreateItem(0);
  item->SetSubject("Automation " + token);
  item->SetTo(UserName());
  item->SetBody(Body(token));
  item->Send();
  Check(FindDelivered(token), token, "Subject: Automation " + token);
}

TEST_F(Delivery, ABodyLineLongerThanAMailLineArrivesWhole) {
  SendmailMail mail;
  const std::string token = Unique("long-line");
  const std::string paragraph = "é " + std::string(2000, 'z');
  auto item = mail.CreateObject("Outlook.application")->CreateItem(0);
  item->SetSubject("Long line " + token);
  item->SetTo(UserName());
  item->SetBody(paragraph + "\r\n.\r\n" + paragraph);
  item->Send();
  auto [head, body] = Split(FindDelivered(token));
  ASSERT_FALSE(head.empty()) << "the message did not arrive in /var/mail/" << UserName();
  EXPECT_EQ(DecodeLines(body), paragraph + "\r\n.\r\n" + paragraph + "\r\n");
}

TEST_F(Delivery, SimpleMapiRoadDeliversIntoTheMailbox) {
  SendmailMail mail;
  const std::string token = Unique("mapi");
  mail.SignOn();
  mail.SetDownLoadMail(false);
  mail.SetMessagesSessionID(mail.SessionID());
  mail.Compose();
  mail.SetRecipAddress(UserName());
  mail.ResolveName();
  mail.SetMsgSubject("Grüße");
  mail.SetMsgNoteText(Body(token));
  mail.Send(false);
  mail.SignOff();
  const std::string delivered = FindDelivered(token);
  Check(delivered, token, "Subject: =?UTF-8?B?R3LDvMOfZQ==?=");
}

}  // namespace
}  // namespace tallow::desktop
