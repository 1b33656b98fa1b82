// The two mail roads on their own: footer bytes, the automation objects'
// lifetime, and the Simple MAPI steps around failures and the event pump.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "mail/send.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

TEST(ExpressFooterTest, BytesAndLength) {
  const std::string title = "Tallowmark By x";  // 15 characters
  const std::string footer = mail::ExpressFooter(title);
  EXPECT_EQ(footer.size(), 55u);
  EXPECT_EQ(footer, "\r\n\r\n\r\n-----------------------\r\n\r\n" + title + "\r\n\r\n   ");
  EXPECT_EQ(mail::ExpressFooter("").size(), 40u);
  EXPECT_EQ(mail::ExpressFooter(std::string(200, 't')).size(), 240u);
}

// Automation objects that log their calls and their release.
struct Log {
  std::vector<std::string> lines;
  std::string failAt;
  void Add(const std::string& line) {
    lines.push_back(line);
    if (line == failAt) throw MailError("refused at " + line);
  }
};

class LoggedItem : public MailItem {
 public:
  explicit LoggedItem(Log& log) : log_(log) {}
  ~LoggedItem() override { log_.lines.push_back("~item"); }
  void SetSubject(const std::string&) override { log_.Add("Subject"); }
  void SetTo(const std::string&) override { log_.Add("To"); }
  void SetBody(const std::string&) override { log_.Add("body"); }
  void Send() override { log_.Add("Send"); }
 private:
  Log& log_;
};

class LoggedApp : public MailApplication {
 public:
  explicit LoggedApp(Log& log) : log_(log) {}
  ~LoggedApp() override { log_.lines.push_back("~app"); }
  std::unique_ptr<MailItem> CreateItem(short) override {
    log_.Add("createitem");
    return std::make_unique<LoggedItem>(log_);
  }
 private:
  Log& log_;
};

class LoggedAutomation : public MailAutomation {
 public:
  explicit LoggedAutomation(Log& log) : log_(log) {}
  std::unique_ptr<MailApplication> CreateObject(const std::string&) override {
    log_.Add("create");
    return std::make_unique<LoggedApp>(log_);
  }
 private:
  Log& log_;
};

TEST(SendMailByOutlookTest, ReleasesItemThenApplicationOnEveryWayOut) {
  for (std::string failAt : {"", "createitem", "To", "Send"}) {
    SCOPED_TRACE(failAt);
    Log log;
    log.failAt = failAt;
    LoggedAutomation automation(log);
    if (failAt.empty()) {
      mail::SendMailByOutlook(automation, "s", "r", "b");
    } else {
      EXPECT_THROW(mail::SendMailByOutlook(automation, "s", "r", "b"), MailError);
    }
    ASSERT_GE(log.lines.size(), 2u);
    if (failAt == "createitem") {
      EXPECT_EQ(log.lines.back(), "~app");
    } else {
      EXPECT_EQ(log.lines[log.lines.size() - 2], "~item");
      EXPECT_EQ(log.lines.back(), "~app");
    }
  }
}

// A Simple MAPI double that may fail at several members at once.
class ScriptedMapi : public SimpleMapi {
 public:
  std::vector<std::string> calls;
  std::set<std::string> failing;
  void Do(const std::string& call) {
    calls.push_back(call);
    if (failing.count(call)) throw MailError(call + " refused");
  }
  void SignOn() override { Do("SignOn"); }
  void SetDownLoadMail(bool) override { Do("DownLoadMail"); }
  long SessionID() override {
    Do("SessionID?");
    return 7;
  }
  void SetMessagesSessionID(long) override { Do("SessionID="); }
  void Compose() override { Do("Compose"); }
  void SetRecipAddress(const std::string& a) override { Do("RecipAddress=" + a); }
  void ResolveName() override { Do("ResolveName"); }
  void SetMsgSubject(const std::string& s) override { Do("MsgSubject=" + s); }
  void SetMsgNoteText(const std::string&) override { Do("MsgNoteText"); }
  void Send(bool) override { Do("Send"); }
  void SignOff() override { Do("SignOff"); }
};

class PumpLoop : public EventLoop {
 public:
  std::function<void()> pending;
  void TimerChanged(Timer&) override {}
  void TimerGone(Timer&) override {}
  void DoEvents() override {
    if (pending) pending();
  }
  void EndProcess() override {}
};

class SendByExpressTest : public ProgramTest {
 protected:
  SendByExpressTest() : owner(app, "Owner"), to(owner, "to"), subject(owner, "subject"), message(owner, "message") {
    to.SetText("a@b.example");
    subject.SetText("Hi");
    message.SetText("Body");
  }
  std::optional<mail::ExpressFailure> Run() {
    return mail::SendByExpress(mapi, loop, to, subject, message, "T");
  }
  Window owner;
  TextBox to, subject, message;
  ScriptedMapi mapi;
  PumpLoop loop;
};

TEST_F(SendByExpressTest, EventPumpRunsAfterDownLoadMailAndTheBoxesAreReadAfterIt) {
  loop.pending = [&] {
    mapi.calls.push_back("DoEvents");
    to.SetText("late@b.example");
    subject.SetText("Later");
  };
  EXPECT_FALSE(Run().has_value());
  EXPECT_EQ(mapi.calls, (std::vector<std::string>{"SignOn", "DownLoadMail", "DoEvents", "SessionID?", "SessionID=",
                                                  "Compose", "RecipAddress=late@b.example", "ResolveName",
                                                  "MsgSubject=Later", "MsgNoteText", "Send", "SignOff"}));
}

TEST_F(SendByExpressTest, EachFailingStepIsNamedAndTheSessionSignedOff) {
  struct Case {
    std::string failAt, step;
  };
  for (const Case& c : {Case{"SignOn", "signing on to the mail system"}, Case{"SessionID?", "opening the mail session"},
                        Case{"Compose", "starting a new message"},
                        Case{"ResolveName", "resolving the recipient"}, Case{"MsgNoteText", "writing the message"},
                        Case{"Send", "sending"}}) {
    SCOPED_TRACE(c.failAt);
    mapi.calls.clear();
    mapi.failing = {c.failAt};
    auto failure = Run();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, c.step);
    EXPECT_EQ(failure->reason, c.failAt + " refused");
    EXPECT_EQ(mapi.calls.back(), "SignOff");
    EXPECT_EQ(mapi.calls[mapi.calls.size() - 2], c.failAt);  // nothing ran after the failing step
  }
}

TEST_F(SendByExpressTest, AFailingSignOffIsIgnored) {
  mapi.failing = {"ResolveName", "SignOff"};
  auto failure = Run();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->step, "resolving the recipient");
  // After a message that went out, a sign-off failure does not count as a failed send.
  mapi.failing = {"SignOff"};
  EXPECT_FALSE(Run().has_value());
}

}  // namespace
}  // namespace tallow::testing
