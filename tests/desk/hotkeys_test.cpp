// The global hot keys: Form1's 100 ms poll on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/form1.h"
#include "desk/form1a.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

using desk::Form1;

// Records the window's visibility each time it changes.
class VisibilityLog : public View {
 public:
  explicit VisibilityLog(Form& form) : form_(form) {}
  void Changed() override {
    if (states.empty() || states.back() != form_.Visible()) states.push_back(form_.Visible());
  }
  std::vector<bool> states;

 private:
  Form& form_;
};

class HotKeysTest : public ProgramTest {
 protected:
  HotKeysTest() : w((SetTexts(), app.Form1())) {
    w.txtSendTo.SetText("old@example.org");
    w.txtSubject.SetText("Subject {1}");
    w.txtMessage.SetText("Message +^%~\r\nline two");
    clock.Advance(100);  // the one-shot hide has run, as after start-up
  }
  // Holds the keys for exactly one tick.
  void Tick(std::initializer_list<int> held) {
    keys.down = held;
    clock.Advance(100);
    keys.down.clear();
  }
  Form1& w;
};

TEST_F(HotKeysTest, HeldKeyActsAtEveryTick) {
  keys.down.insert(vbKeyF9);
  clock.Advance(1000);
  EXPECT_EQ(keyboard.typed, std::vector<std::string>(10, "Message +^%~\r\nline two"));
  EXPECT_FALSE(w.Visible());
}

TEST_F(HotKeysTest, F10ShowsAndTakesAShortAddressFromTheClipboard) {
  const std::string at44 = "someone@" + std::string(28, 'a') + ".example";  // 44 characters
  ASSERT_EQ(at44.size(), 44u);
  clipboard.text = at44;
  Tick({vbKeyF10});
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), at44);

  w.Hide();
  w.txtSendTo.SetText("old@example.org");
  clipboard.text = at44 + "x";
  Tick({vbKeyF10});
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "old@example.org");

  // Counted in characters: 44 of them in 46 bytes.
  const std::string accented = " jos\xc3\xa9@" + std::string(29, 'b') + ".\xc3\xa9xample ";
  clipboard.text = accented;
  Tick({vbKeyF10});
  EXPECT_EQ(w.txtSendTo.Text(), accented);  // unchanged, untrimmed
}

TEST_F(HotKeysTest, F10LeavesTheRecipientWithoutAnAddress) {
  for (bool failing : {false, true}) {
    for (std::string text : {"no address here", ""}) {
      w.Hide();
      clipboard.text = text;
      clipboard.failing = failing;
      Tick({vbKeyF10});
      EXPECT_TRUE(w.Visible());
      EXPECT_EQ(w.txtSendTo.Text(), "old@example.org");
    }
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HotKeysTest, F10AndEscInOneTickShowFillThenHide) {
  VisibilityLog log(w);
  w.view = &log;
  clipboard.text = "new@example.org";
  Tick({vbKeyF10, vbKeyEscape});
  w.view = nullptr;
  EXPECT_EQ(log.states, (std::vector<bool>{true, false}));
  EXPECT_EQ(w.txtSendTo.Text(), "new@example.org");
  EXPECT_FALSE(w.Visible());
}

TEST_F(HotKeysTest, F9BeforeF8AndBothTypeWhileHidden) {
  Tick({vbKeyF8, vbKeyF9});
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(keyboard.typed, (std::vector<std::string>{"Message +^%~\r\nline two", "Subject {1}"}));
}

TEST_F(HotKeysTest, EscHidesOnlyAVisibleWindow) {
  VisibilityLog log(w);
  w.view = &log;
  Tick({vbKeyEscape});
  EXPECT_TRUE(log.states.empty());
  w.Show();
  Tick({vbKeyEscape});
  w.view = nullptr;
  EXPECT_EQ(log.states, (std::vector<bool>{true, false}));
  EXPECT_TRUE(keyboard.typed.empty());
}

TEST_F(HotKeysTest, F12LoadsAndShowsTheInformationWindow) {
  EXPECT_FALSE(app.Form1a.IsLoaded());
  Tick({vbKeyF12});
  ASSERT_TRUE(app.Form1a.IsLoaded());
  EXPECT_TRUE(app.Form1a.get()->Visible());
  EXPECT_FALSE(w.Visible());
}

TEST_F(HotKeysTest, ClosedWindowComesBackWithItsBoxes) {
  w.Show();
  app.UnloadForm(w, 0);
  EXPECT_FALSE(w.Visible());
  clipboard.text = "";
  Tick({vbKeyF10});
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.txtSendTo.Text(), "old@example.org");
  EXPECT_EQ(w.txtSubject.Text(), "Subject {1}");
}

}  // namespace
}  // namespace tallow::testing
