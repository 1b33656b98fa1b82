// Test doubles for every service of the window model.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dispatch.h"
#include "platform/services.h"

namespace tallow::testing {

struct ShownBox {
  std::string prompt;
  MsgButtons buttons;
  MsgIcon icon;
  std::string title;
};

// Answers scripted in advance; every box recorded. An OK box needs no script;
// a Yes/No box without a scripted answer fails the test.
class FakeMessageBoxes : public MessageBoxes {
 public:
  std::deque<int> answers;
  std::vector<ShownBox> shown;
  int Show(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title) override {
    shown.push_back({prompt, buttons, icon, title});
    if (!answers.empty()) {
      int a = answers.front();
      answers.pop_front();
      return a;
    }
    if (buttons == MsgButtons::YesNo) ADD_FAILURE() << "unscripted Yes/No box: " << prompt;
    return buttons == MsgButtons::OK ? vbOK : vbNo;
  }
};

class FakeClipboard : public Clipboard {
 public:
  std::string text;      // what it holds as text; empty: no text
  bool failing = false;  // held by another program
  bool GetText(std::string& out) override {
    out.clear();
    if (failing) return false;
    out = text;
    return true;
  }
  bool Clear() override {
    if (failing) return false;
    text.clear();
    return true;
  }
  bool SetText(const std::string& t) override {
    if (failing) return false;
    text = t;
    return true;
  }
};

class FakeKeys : public KeyState {
 public:
  std::set<int> down;
  bool IsKeyDown(int key) override { return down.count(key) > 0; }
};

class FakeKeyboard : public Keyboard {
 public:
  std::vector<std::string> typed;
  void Type(const std::string& text) override { typed.push_back(text); }
};

class FakeTray : public NotifyArea {
 public:
  struct Call {
    NotifyMessage message;
    IconRecord record;
  };
  std::vector<Call> calls;
  bool Notify(NotifyMessage message, const IconRecord& record) override {
    calls.push_back({message, record});
    return true;
  }
};

// Both mail-client roads, recording each call in order with its value. A call
// whose record starts with `failAt` throws MailError instead of succeeding.
class FakeMail : public MailAutomation, public SimpleMapi {
 public:
  std::vector<std::string> calls;
  std::string failAt;
  std::string failReason = "the mail system refused it";

  void Record(const std::string& call) {
    calls.push_back(call);
    if (!failAt.empty() && call.rfind(failAt, 0) == 0) throw MailError(failReason);
  }

  class Item : public MailItem {
   public:
    explicit Item(FakeMail& m) : m_(m) {}
    void SetSubject(const std::string& s) override { m_.Record("Subject=" + s); }
    void SetTo(const std::string& s) override { m_.Record("To=" + s); }
    void SetBody(const std::string& s) override { m_.Record("body=" + s); }
    void Send() override { m_.Record("Send"); }
   private:
    FakeMail& m_;
  };
  class App : public MailApplication {
   public:
    explicit App(FakeMail& m) : m_(m) {}
    std::unique_ptr<MailItem> CreateItem(short type) override {
      m_.Record("createitem(" + std::to_string(type) + ")");
      return std::make_unique<Item>(m_);
    }
   private:
    FakeMail& m_;
  };

  std::unique_ptr<MailApplication> CreateObject(const std::string& progId) override {
    Record("CreateObject(" + progId + ")");
    return std::make_unique<App>(*this);
  }

  void SignOn() override { Record("SignOn"); }
  void SetDownLoadMail(bool v) override { Record(std::string("DownLoadMail=") + (v ? "True" : "False")); }
  long SessionID() override {
    Record("SessionID?");
    return 42;
  }
  void SetMessagesSessionID(long id) override { Record("SessionID=" + std::to_string(id)); }
  void Compose() override { Record("Compose"); }
  void SetRecipAddress(const std::string& s) override { Record("RecipAddress=" + s); }
  void ResolveName() override { Record("ResolveName"); }
  void SetMsgSubject(const std::string& s) override { Record("MsgSubject=" + s); }
  void SetMsgNoteText(const std::string& s) override { Record("MsgNoteText=" + s); }
  void Send(bool dialog) override { Record(std::string("Send(") + (dialog ? "True" : "False") + ")"); }
  void SignOff() override { Record("SignOff"); }
};

class FakeEnvironment : public Environment {
 public:
  std::string folder, exeName = "tallowmark", cwd;
  std::string ProgramFolder() override { return folder; }
  std::string ExeName() override { return exeName; }
  std::string CurrentDirectory() override { return cwd; }
};

class FakeWindows : public WindowSystem {
 public:
  std::vector<std::string> attached, detached;
  void Attach(Form& f) override { attached.push_back(f.Name()); }
  void Detach(Form& f) override { detached.push_back(f.Name()); }
  // Every existing file holds a picture.
  std::string LoadPicture(const std::string& path) override {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? "file:" + path : "";
  }
};

// The event loop on a virtual clock: Advance() fires the due timers in time
// order, each tick a call from outside through the dispatcher.
class VirtualClock : public EventLoop {
 public:
  explicit VirtualClock(Dispatcher& dispatch) : dispatch_(dispatch) {}
  long long now = 0;
  int doEvents = 0;
  bool ended = false;

  void TimerChanged(Timer& t) override {
    if (t.Running())
      due_[&t] = {now + t.Interval(), seq_++};
    else
      due_.erase(&t);
  }
  void TimerGone(Timer& t) override { due_.erase(&t); }
  void DoEvents() override { ++doEvents; }
  void EndProcess() override { ended = true; }

  bool IsScheduled(const Timer& t) const { return due_.count(const_cast<Timer*>(&t)) > 0; }

  // Moves the clock on by ms, firing every timer that falls due on the way.
  void Advance(long long ms) {
    const long long end = now + ms;
    for (;;) {
      Timer* next = nullptr;
      Due best{end + 1, 0};
      for (auto& [t, d] : due_)
        if (d.at < best.at || (d.at == best.at && next && d.seq < best.seq)) {
          best = d;
          next = t;
        }
      if (!next) break;
      now = best.at;
      due_[next] = {best.at + next->Interval(), seq_++};
      dispatch_([next] { next->Fire(); });
    }
    now = end;
  }

 private:
  struct Due {
    long long at;
    long long seq;
  };
  Dispatcher& dispatch_;
  std::map<Timer*, Due> due_;
  long long seq_ = 0;
};

}  // namespace tallow::testing
