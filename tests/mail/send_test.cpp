// The Simple MAPI road on its own: the event pump in the middle of the send,
// and how a failing step ends it.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "mail/send.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

// May fail at several members at once, which the fixture's double cannot.
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
  std::function<void()> pending = [] {};
  void TimerChanged(Timer&) override {}
  void TimerGone(Timer&) override {}
  void DoEvents() override { pending(); }
  void EndProcess() override {}
};

class SendByExpressTest : public ProgramTest {
 protected:
  SendByExpressTest() : owner(app, "Owner"), to(owner, "to"), subject(owner, "subject"), message(owner, "message") {
    to.SetText("a@b.example");
    subject.SetText("Hi");
    message.SetText("Body");
  }
  std::optional<mail::ExpressFailure> Run() { return mail::SendByExpress(mapi, loop, to, subject, message, "T"); }
  Window owner;
  TextBox to, subject, message;
  ScriptedMapi mapi;
  PumpLoop loop;
};

TEST_F(SendByExpressTest, BoxesAreReadAfterTheEventPump) {
  loop.pending = [&] {
    mapi.calls.push_back("DoEvents");
    to.SetText("late@b.example");  // a hot key filling the recipient meanwhile
    subject.SetText("Later");
  };
  EXPECT_FALSE(Run().has_value());
  EXPECT_EQ(mapi.calls, (std::vector<std::string>{"SignOn", "DownLoadMail", "DoEvents", "SessionID?",
                                                  "SessionID=", "Compose", "RecipAddress=late@b.example", "ResolveName",
                                                  "MsgSubject=Later", "MsgNoteText", "Send", "SignOff"}));
}

TEST_F(SendByExpressTest, AFailingStepIsNamedAndTheSessionSignedOff) {
  for (auto [failAt, step] :
       std::vector<std::pair<std::string, std::string>>{{"SignOn", "signing on to the mail system"},
                                                        {"SessionID?", "opening the mail session"},
                                                        {"Compose", "starting a new message"},
                                                        {"ResolveName", "resolving the recipient"},
                                                        {"MsgNoteText", "writing the message"},
                                                        {"Send", "sending"}}) {
    SCOPED_TRACE(failAt);
    mapi.calls.clear();
    mapi.failing = {failAt, "SignOff"};  // the sign-off's own failure is ignored
    auto failure = Run();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, step);
    EXPECT_EQ(failure->reason, failAt + " refused");
    ASSERT_GE(mapi.calls.size(), 2u);
    EXPECT_EQ(mapi.calls[mapi.calls.size() - 2], failAt);  // nothing ran after the failing step
    EXPECT_EQ(mapi.calls.back(), "SignOff");
  }
  // Once the message has gone, a sign-off failure does not make it a failed send.
  mapi.failing = {"SignOff"};
  EXPECT_FALSE(Run().has_value());
}

}  // namespace
}  // namespace tallow::testing
