// The rules of the window model that the windows rely on.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_list.h"
#include "support/fixture.h"

namespace tallow::testing {
namespace {

struct Probe {
  int loads = 0;
  int destroyed = 0;
  bool cancelQuery = false;
  bool cancelUnload = false;
  std::vector<std::string> log;
};
Probe* probe = nullptr;

class TestWindow : public Window {
 public:
  explicit TestWindow(Program& app)
      : Window(app, "TestWindow"),
        FrameA(*this, "FrameA", nullptr, "A"),
        Text1(*this, "Text1"),
        List1(*this, "List1"),
        OptionOnForm(*this, "OptionOnForm", nullptr, "on the window"),
        OptionInFrame(*this, "OptionInFrame", &FrameA, "in the frame"),
        OptionInFrame2(*this, "OptionInFrame2", &FrameA, "in the frame too"),
        Check1(*this, "Check1"),
        Ticker(*this, "Ticker", 100, true),
        Close(*this, "Close", nullptr, "Close") {
    List1.Click = [this] { probe->log.push_back("Click " + std::to_string(List1.ListIndex())); };
    Text1.Change = [this] { probe->log.push_back("Change " + Text1.Text()); };
    Check1.Click = [this] { probe->log.push_back("Check " + std::to_string(Check1.Value())); };
    OptionOnForm.Click = [] { probe->log.push_back("OptionOnForm"); };
    OptionInFrame.Click = [] { probe->log.push_back("OptionInFrame"); };
    Ticker.OnTimer = [] { probe->log.push_back("tick"); };
    Close.Click = [this] {
      Unload();
      // Still safe: the instance lives until the dispatch ends.
      probe->log.push_back("after unload " + Caption());
    };
  }
  ~TestWindow() override { ++probe->destroyed; }
  void Form_Load() override {
    ++probe->loads;
    SetCaption("loaded");
  }
  void Form_QueryUnload(int& cancel, int mode) override {
    probe->log.push_back("QueryUnload " + std::to_string(mode));
    if (probe->cancelQuery) cancel = 1;
  }
  void Form_Unload(int& cancel) override {
    probe->log.push_back("Unload");
    if (probe->cancelUnload) cancel = 1;
  }

  Frame FrameA;
  TextBox Text1;
  ListBox List1;
  OptionButton OptionOnForm, OptionInFrame, OptionInFrame2;
  CheckBox Check1;
  Timer Ticker;
  CommandButton Close;
};

class ModelTest : public ProgramTest {
 protected:
  ModelTest() { probe = &p; }
  Probe p;
  WindowSlot<TestWindow> win{app};
};

TEST_F(ModelTest, TouchLoadsOnceAndKeepsTheInstance) {
  EXPECT_FALSE(win.IsLoaded());
  TestWindow& first = win();
  EXPECT_EQ(p.loads, 1);
  EXPECT_EQ(first.Caption(), "loaded");
  EXPECT_TRUE(first.IsLoaded());
  EXPECT_FALSE(first.Visible());  // loading does not show
  TestWindow& again = win();
  EXPECT_EQ(&first, &again);
  EXPECT_EQ(p.loads, 1);
}

TEST_F(ModelTest, UnloadFromItsOwnHandlerIsSafeAndTheNextTouchLoadsAfresh) {
  User([&] { win().Close.Press(); });
  EXPECT_EQ(p.log.back(), "after unload loaded");
  EXPECT_FALSE(win.IsLoaded());
  EXPECT_EQ(p.destroyed, 1);  // gone once the user's action has ended
  win().Text1.SetText("new");
  EXPECT_EQ(p.loads, 2);
  EXPECT_EQ(windows.detached, std::vector<std::string>{"TestWindow"});
}

TEST_F(ModelTest, CancelledUnloadKeepsTheWindow) {
  TestWindow& w = win();
  w.Text1.SetText("kept");
  p.cancelQuery = true;
  app.UnloadForm(w, 0);
  p.cancelQuery = false;
  p.cancelUnload = true;
  w.Unload();
  EXPECT_TRUE(win.IsLoaded());
  EXPECT_EQ(&win(), &w);
  EXPECT_EQ(w.Text1.Text(), "kept");
  EXPECT_EQ(p.log, (std::vector<std::string>{"Change kept", "QueryUnload 0", "QueryUnload 1", "Unload"}));
}

TEST_F(ModelTest, AReferenceHearsResizeAndUnloadAfterTheWindowItself) {
  FormRef ref;
  ref.Resize = [&] { p.log.push_back("ref Resize " + std::to_string(ref->WindowState())); };
  ref.Unload = [&](int&) { p.log.push_back("ref Unload"); };
  ref = &win();
  win().SetWindowState(vbMaximized);
  p.cancelUnload = true;
  User([&] { win().Unload(); });
  p.cancelUnload = false;
  User([&] { win().Unload(); });
  // A cancelled unload is not passed on; the window's own handler comes first.
  EXPECT_EQ(p.log, (std::vector<std::string>{"ref Resize 2", "QueryUnload 1", "Unload", "QueryUnload 1", "Unload",
                                             "ref Unload"}));
  EXPECT_EQ(p.destroyed, 1);
  EXPECT_EQ(ref.get(), nullptr) << "the reference let go of the destroyed window";
}

TEST_F(ModelTest, SelectingFromCodeRaisesClickBeforeTheNextStatement) {
  TestWindow& w = win();
  w.List1.AddItem("a");
  w.List1.AddItem("b");
  w.List1.SetListIndex(1);
  p.log.push_back("next");
  w.List1.SetListIndex(1);  // the same item again still raises Click
  EXPECT_EQ(p.log, (std::vector<std::string>{"Click 1", "next", "Click 1"}));
  w.List1.RemoveItem(1);
  EXPECT_EQ(w.List1.ListIndex(), -1);
  w.List1.SetListIndex(5);  // names no item: ignored
  EXPECT_EQ(w.List1.ListIndex(), -1);
  EXPECT_EQ(p.log.size(), 3u);
}

TEST_F(ModelTest, EveryUserClickOnAnItemRaisesClickAndAClickBelowThemNothing) {
  TestWindow& w = win();
  w.List1.AddItem("a");
  w.List1.AddItem("b");
  w.List1.UserClick(1);
  w.List1.UserClick(1);   // the selected item again
  w.List1.UserClick(-1);  // the empty space below the items
  w.List1.UserClick(2);
  EXPECT_EQ(p.log, (std::vector<std::string>{"Click 1", "Click 1"}));
  EXPECT_EQ(w.List1.ListIndex(), 1);
}

TEST_F(ModelTest, OptionsExcludeEachOtherOnlyInsideOneContainer) {
  TestWindow& w = win();
  w.OptionOnForm.SetValue(true);
  w.OptionInFrame.SetValue(true);
  EXPECT_TRUE(w.OptionOnForm.Value());
  EXPECT_TRUE(w.OptionInFrame.Value());
  w.OptionInFrame2.SetValue(true);
  EXPECT_FALSE(w.OptionInFrame.Value());
  EXPECT_TRUE(w.OptionOnForm.Value());
  w.OptionOnForm.SetValue(true);  // already on: no Click
  EXPECT_EQ(p.log, (std::vector<std::string>{"OptionOnForm", "OptionInFrame"}));
}

TEST_F(ModelTest, TextChangeOnlyOnChangeAndCheckClickOnEveryChange) {
  TestWindow& w = win();
  w.Text1.SetText("a");
  w.Text1.SetText("a");
  w.Text1.SetText("");
  w.Check1.SetValue(1);
  w.Check1.SetValue(1);
  w.Check1.SetValue(0);
  EXPECT_EQ(p.log, (std::vector<std::string>{"Change a", "Change ", "Check 1", "Check 0"}));
}

TEST_F(ModelTest, AOneLineBoxTurnsEveryLineBreakIntoABlankAndDropsATrailingOne) {
  TestWindow& w = win();
  for (auto [given, held] : std::vector<std::pair<std::string, std::string>>{{"Alpha\r\nBeta", "Alpha Beta"},
                                                                             {"a\rb\nc\r\n\r\nd", "a b c  d"},
                                                                             {"copied\r\n", "copied"},
                                                                             {"x\n", "x"},
                                                                             {"x\r", "x"},
                                                                             {"two\r\n\r\n", "two "},
                                                                             {"\r\n", ""}}) {
    w.Text1.SetText(given);
    EXPECT_EQ(w.Text1.Text(), held) << given;
  }
  p.log.clear();
  w.Text1.SetText("Alpha Beta\n");
  w.Text1.SetText("Alpha Beta");  // what the box holds already: no Change
  EXPECT_EQ(p.log, std::vector<std::string>{"Change Alpha Beta"});

  TextBox message(w, "Text2");
  message.multiLine = true;
  message.SetText("a\r\nb\r\n");
  EXPECT_EQ(message.Text(), "a\r\nb\r\n");
}

TEST_F(ModelTest, TimerTicksFromOneIntervalAfterLoadWhileHiddenUntilUnload) {
  TestWindow& w = win();
  clock.Advance(99);
  EXPECT_TRUE(p.log.empty());
  clock.Advance(1);
  EXPECT_EQ(p.log, std::vector<std::string>{"tick"});
  w.Show();
  w.Hide();
  clock.Advance(300);
  EXPECT_EQ(p.log.size(), 4u);
  User([&] { w.Unload(); });
  p.log.clear();
  clock.Advance(1000);
  EXPECT_TRUE(p.log.empty());
}

TEST_F(ModelTest, HiddenWindowKeepsItsControls) {
  TestWindow& w = win();
  w.Show();
  w.Text1.SetText("text");
  w.List1.AddItem("item");
  w.List1.SetListIndex(0);
  w.Hide();
  w.Show();
  EXPECT_EQ(w.Text1.Text(), "text");
  EXPECT_EQ(w.List1.ListIndex(), 0);
  EXPECT_EQ(p.loads, 1);
}

TEST_F(ModelTest, FileListHoldsOrdinaryVisibleMatchingFilesSortedByName) {
  namespace fs = std::filesystem;
  for (const char* n : {"data2.txt", "data10.txt", "B.txt", "a.TXT", ".hidden.txt", "note.txx", "two\nlines.txt"})
    WriteFile(InFolder(n), "x\r\n");
  fs::create_directory(InFolder("folder.txt"));
  TestWindow& w = win();
  FileListBox files(w, "File1", "*.txt");
  files.SetPath(folder.path());
  std::vector<std::string> names;
  for (int i = 0; i < files.ListCount(); ++i) names.push_back(files.List(i));
  EXPECT_EQ(names, (std::vector<std::string>{"a.TXT", "B.txt", "data10.txt", "data2.txt"}));
  EXPECT_EQ(files.List(99), "");
}

TEST(PatternTest, WildcardsMatchWithoutRegardToCase) {
  EXPECT_TRUE(MatchesPattern("data1.txt", "*.txt"));
  EXPECT_TRUE(MatchesPattern("DATA1.TXT", "*.txt"));
  EXPECT_FALSE(MatchesPattern("data1.txx", "*.txt"));
  EXPECT_FALSE(MatchesPattern("data1.txtx", "*.txt"));
  EXPECT_TRUE(MatchesPattern(".txt", "*.txt"));
  EXPECT_TRUE(MatchesPattern("a.b.txt", "*.txt"));
  EXPECT_TRUE(MatchesPattern("ab", "a?"));
  EXPECT_FALSE(MatchesPattern("abc", "a?"));
}

}  // namespace
}  // namespace tallow::testing
