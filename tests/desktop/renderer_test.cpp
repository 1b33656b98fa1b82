// The renderer under Qt's offscreen platform: a small window of our own with
// every kind of control, in a slot of the program, driven from the model and
// from the widgets.
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/desktop/web_view.h"
#include "program_fixture.h"

namespace tallow::desktop::testing {
namespace {

class Sample : public Window {
 public:
  explicit Sample(Program& app) : Window(app, "Sample") {
    geometry = {0, 0, 400, 300};
    backColor = 0x102030;
    icon = "program";
    frame.fontBold = true;
    frame.geometry = {10, 10, 180, 80};
    option0.geometry = {8, 20, 100, 20};
    option1.geometry = {8, 44, 100, 20};
    option2.geometry = {200, 100, 100, 20};
    label.geometry = {200, 10, 150, 20};
    label.backColor = 0xFF0000;
    line.geometry = {200, 40, 150, 20};
    multi.multiLine = true;
    multi.geometry = {10, 100, 180, 60};
    list.geometry = {10, 170, 180, 60};
    check.geometry = {200, 130, 150, 20};
    button.geometry = {200, 160, 80, 24};
    picture.geometry = {200, 190, 150, 52};
    hidden.SetVisible(false);
    button.Click = [this] { events.push_back("Command1_Click"); };
    list.Click = [this] { events.push_back("List1_Click " + std::to_string(list.ListIndex())); };
    list.DblClick = [this] { events.push_back("List1_DblClick"); };
    line.Change = [this] { events.push_back("Text1_Change " + line.Text()); };
    option0.Click = [this] { events.push_back("Option1_Click 0"); };
    option1.Click = [this] { events.push_back("Option1_Click 1"); };
    check.Click = [this] { events.push_back("Check1_Click " + std::to_string(check.Value())); };
    item2.Click = [this] { events.push_back("mnuSecond_Click"); };
    label.Click = [this] { events.push_back("Label1_Click"); };
  }

  void Form_QueryUnload(int& cancel, int mode) override {
    events.push_back("Form_QueryUnload " + std::to_string(mode));
    cancel = keepOpen;
  }
  void Form_Unload(int&) override { events.push_back("Form_Unload"); }
  void Form_Resize() override { events.push_back("Form_Resize " + std::to_string(WindowState())); }

  Frame frame{*this, "Frame1", nullptr, "Options && More"};
  OptionButton option0{*this, "Option1", &frame, "&One"};
  OptionButton option1{*this, "Option1", &frame, "Two"};
  OptionButton option2{*this, "Option2", nullptr, "Elsewhere"};
  Label label{*this, "Label1", nullptr, "&Name && Co"};
  TextBox line{*this, "Text1"};
  TextBox multi{*this, "Text2"};
  ListBox list{*this, "List1"};
  CheckBox check{*this, "Check1", nullptr, "Check"};
  CommandButton button{*this, "Command1", nullptr, "&Go"};
  Image picture{*this, "Image1", nullptr, "banner"};
  PictureBox unknown{*this, "Picture1", nullptr, "no-such-picture"};
  ListBox hidden{*this, "List2"};
  Timer timer{*this, "Timer1", 1000, false};
  FileListBox files{*this, "File1", "*.txt"};
  Menu menu{*this, "mnuTop", nullptr, "&Top"};
  Menu item1{*this, "mnuFirst", &menu, "First"};
  Menu sep{*this, "mnuSep", &menu, "-"};
  Menu item2{*this, "mnuSecond", &menu, "&Second"};

  std::vector<std::string> events;
  int keepOpen = 0;
};

class RendererTest : public ProgramOnDesktop {
 protected:
  WindowSlot<Sample> sample{app};
  Sample& form = sample();
};

TEST_F(RendererTest, DrawsTheDesignAndOnlyWhatIsVisible) {
  QWidget* window = Widget(form);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isWindow());
  EXPECT_FALSE(window->isVisible());  // attached and loaded, not shown
  EXPECT_EQ(window->size(), QSize(400, 300));
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  EXPECT_FALSE(window->windowIcon().isNull());

  auto* frame = Widget<QGroupBox>(form.frame);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->title(), "Options && More");  // Qt draws "&&" as one "&", as the design means
  EXPECT_TRUE(frame->font().bold());
  auto* option = Widget<QRadioButton>(form.option0);
  EXPECT_EQ(option->parentWidget(), frame);  // inside its frame, placed relative to it
  EXPECT_EQ(option->geometry(), QRect(8, 20, 100, 20));
  EXPECT_FALSE(option->font().bold());  // a bold frame does not make its controls bold
  EXPECT_EQ(Widget(form.option2)->parentWidget(), window);

  auto* label = Widget<QLabel>(form.label);
  EXPECT_EQ(label->text(), "Name & Co");
  EXPECT_EQ(label->geometry(), QRect(200, 10, 150, 20));
  EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0xFF, 0, 0));
  EXPECT_EQ(Widget<QPushButton>(form.button)->text(), "&Go");

  EXPECT_EQ(Widget<QLabel>(form.picture)->pixmap().size(), QSize(150, 52));
  EXPECT_TRUE(Widget<QLabel>(form.unknown)->pixmap().isNull());  // an unknown picture draws nothing

  form.Show();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(Widget(form.list)->isVisible());
  EXPECT_FALSE(Widget(form.hidden)->isVisible());
  EXPECT_EQ(desktop.windows.WidgetOf(form.timer), nullptr);
  EXPECT_EQ(desktop.windows.WidgetOf(form.files), nullptr);
  EXPECT_EQ(desktop.windows.WidgetOf(form.menu), nullptr);
}

TEST_F(RendererTest, ModelChangesReachTheWidgetsWithoutRaisingEventsTwice) {
  form.SetCaption("Hello & bye");
  form.line.SetText("abc");
  form.multi.SetText("one\r\ntwo\r\n");
  form.list.AddItem("a");
  form.list.AddItem("b");
  form.list.SetListIndex(1);
  form.option1.SetValue(true);
  form.check.SetValue(1);
  form.button.SetCaption("Stop");
  form.button.SetEnabled(false);
  form.label.SetVisible(false);
  form.picture.SetPicture("");

  EXPECT_EQ(Widget(form)->windowTitle(), "Hello & bye");
  EXPECT_EQ(Widget<QLineEdit>(form.line)->text(), "abc");
  EXPECT_EQ(Widget<QPlainTextEdit>(form.multi)->toPlainText(), "one\ntwo\n");
  auto* list = Widget<QListWidget>(form.list);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_TRUE(Widget<QRadioButton>(form.option1)->isChecked());
  EXPECT_FALSE(Widget<QRadioButton>(form.option0)->isChecked());
  EXPECT_TRUE(Widget<QCheckBox>(form.check)->isChecked());
  EXPECT_EQ(Widget<QPushButton>(form.button)->text(), "Stop");
  EXPECT_FALSE(Widget(form.button)->isEnabled());
  EXPECT_TRUE(Widget<QLabel>(form.picture)->pixmap().isNull());
  form.Show();
  EXPECT_FALSE(Widget(form.label)->isVisible());
  // Each model change raised its event once, from the model; the widgets added none.
  EXPECT_EQ(form.events,
            (std::vector<std::string>{"Text1_Change abc", "List1_Click 1", "Option1_Click 1", "Check1_Click 1"}));

  form.list.RemoveItem(1);
  EXPECT_EQ(list->count(), 1);
  EXPECT_TRUE(list->selectedItems().isEmpty());
  form.list.Clear();
  EXPECT_EQ(list->count(), 0);
}

TEST_F(RendererTest, UserActionsReachTheModel) {
  form.Show();
  form.list.AddItem("a");
  form.list.AddItem("b");
  form.events.clear();

  Widget<QPushButton>(form.button)->click();
  QTest::keyClicks(Widget(form.line), "hi");
  Widget<QListWidget>(form.list)->setCurrentRow(1);
  Widget<QRadioButton>(form.option0)->click();
  Widget<QCheckBox>(form.check)->click();
  Widget<QCheckBox>(form.check)->click();
  QTest::mouseClick(Widget(form.label), Qt::LeftButton);
  EXPECT_EQ(form.events,
            (std::vector<std::string>{"Command1_Click", "Text1_Change h", "Text1_Change hi", "List1_Click 1",
                                      "Option1_Click 0", "Check1_Click 1", "Check1_Click 0", "Label1_Click"}));
  EXPECT_EQ(form.line.Text(), "hi");
  EXPECT_EQ(form.list.ListIndex(), 1);

  // Clicking the option that is on keeps it on; the other option of the frame goes off.
  Widget<QRadioButton>(form.option1)->click();
  EXPECT_TRUE(form.option1.Value());
  EXPECT_FALSE(form.option0.Value());
  EXPECT_FALSE(Widget<QRadioButton>(form.option0)->isChecked());
  Widget<QRadioButton>(form.option1)->click();
  EXPECT_TRUE(form.option1.Value());
  EXPECT_TRUE(Widget<QRadioButton>(form.option1)->isChecked());

  auto* list = Widget<QListWidget>(form.list);
  form.events.clear();
  list->setCurrentRow(0);
  emit list->itemDoubleClicked(list->item(0));
  EXPECT_EQ(form.list.ListIndex(), 0);
  EXPECT_EQ(form.events, (std::vector<std::string>{"List1_Click 0", "List1_DblClick"}));

  form.button.SetEnabled(false);
  form.events.clear();
  QTest::mouseClick(Widget(form.button), Qt::LeftButton);
  EXPECT_TRUE(form.events.empty());
}

TEST_F(RendererTest, EveryClickOnAnItemRaisesClickOnceAndAClickBelowTheItemsNothing) {
  form.Show();
  form.list.AddItem("a");
  form.list.AddItem("b");
  form.events.clear();
  auto* list = Widget<QListWidget>(form.list);
  const QPoint second = list->visualItemRect(list->item(1)).center();
  const QPoint below(5, list->viewport()->height() - 3);
  ASSERT_FALSE(list->indexAt(below).isValid());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);  // the selected item again
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
  EXPECT_EQ(form.list.ListIndex(), 1);
  QTest::keyClick(list, Qt::Key_Up);  // the keyboard moves the selection as ever
  EXPECT_EQ(form.events, (std::vector<std::string>{"List1_Click 1", "List1_Click 1", "List1_Click 0"}));
  EXPECT_EQ(list->currentRow(), 0);
}

TEST_F(RendererTest, AListThatTakesTheFocusSelectsNothingUntilAKeyMovesTheSelection) {
  form.list.AddItem("a");
  form.list.AddItem("b");
  form.Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(form)));
  form.events.clear();
  auto* list = Widget<QListWidget>(form.list);
  list->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(list->hasFocus());
  // Another window comes to the front, then this one again: the list takes the focus anew.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  Widget(form)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Widget(form)));
  ASSERT_TRUE(list->hasFocus());
  EXPECT_EQ(form.list.ListIndex(), -1);
  EXPECT_EQ(list->currentRow(), -1);
  EXPECT_TRUE(form.events.empty());

  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(form.list.ListIndex(), 0);
  EXPECT_EQ(form.events, (std::vector<std::string>{"List1_Click 0"}));
}

TEST_F(RendererTest, AListFollowsAChangeByChangingOnlyThatItem) {
  for (const char* item : {"a", "b", "c"}) form.list.AddItem(item);
  auto* list = Widget<QListWidget>(form.list);
  QListWidgetItem* a = list->item(0);
  QListWidgetItem* c = list->item(2);
  form.list.SetListIndex(2);
  form.list.AddItem("d");
  form.list.RemoveItem(1);
  form.list.SetList(2, "D");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0), a);  // the very same rows: nothing was drawn anew
  EXPECT_EQ(list->item(1), c);
  EXPECT_EQ(list->item(2)->text(), "D");
  EXPECT_EQ(list->currentRow(), 1);  // the selection moved with its item
  EXPECT_TRUE(list->item(1)->isSelected());
  form.list.RemoveItem(1);
  EXPECT_TRUE(list->selectedItems().isEmpty());
  EXPECT_EQ(list->currentRow(), -1);
}

TEST_F(RendererTest, AOneLineBoxShowsAndReportsNoLineBreak) {
  form.Show();
  auto* line = Widget<QLineEdit>(form.line);
  form.line.SetText("a\r\nb\r\n");
  EXPECT_EQ(line->text(), "a b");
  QGuiApplication::clipboard()->setText("x\r\ny\nz");
  line->setFocus();
  line->setCursorPosition(1);
  QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.line.Text(), "ax y z b");
  EXPECT_EQ(line->text(), "ax y z b");
  EXPECT_EQ(line->cursorPosition(), 6);  // behind what was pasted
}

TEST_F(RendererTest, BoxesKeepNoBreakSpacesWhenTheUserTypes) {
  const std::string nbsp = "\xC2\xA0";
  form.Show();
  form.multi.SetText("a" + nbsp + "b\r\nc");
  form.line.SetText("x" + nbsp + "y");
  QTest::keyClick(Widget(form.multi), Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(Widget(form.multi), "!");
  QTest::keyClick(Widget(form.line), Qt::Key_End);
  QTest::keyClicks(Widget(form.line), "!");
  EXPECT_EQ(form.multi.Text(), "a" + nbsp + "b\r\nc!");
  EXPECT_EQ(form.line.Text(), "x" + nbsp + "y!");
}

TEST_F(RendererTest, AWindowOpensWithTheFocusOnTheFirstControlOfItsTabOrder) {
  class Book : public Window {
   public:
    explicit Book(Program& app) : Window(app, "AddBook") {
      geometry = {0, 0, 300, 120};
      name.geometry = {10, 10, 280, 24};
      save.geometry = {10, 50, 130, 28};
      close.geometry = {150, 50, 130, 28};
      close.tabIndex = 0;
      save.tabIndex = 1;
      name.tabIndex = 2;
      save.SetEnabled(false);
      close.Click = [this] { closed = true; };
    }
    TextBox name{*this, "Text1"};
    CommandButton save{*this, "Command1", nullptr, "Save"};
    CommandButton close{*this, "Command2", nullptr, "Close"};
    bool closed = false;
  };
  WindowSlot<Book> book{app};
  Book& window = book();
  window.Show();
  ASSERT_EQ(Widget(window)->focusWidget(), Widget(window.close));
  QTest::keyClick(Widget(window)->focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(window.closed);
  EXPECT_EQ(window.name.Text(), "");
}

TEST_F(RendererTest, MultiLineBoxHoldsCrLfWhileItsWidgetShowsLines) {
  form.Show();
  Widget(form.multi)->setFocus();
  QTest::keyClicks(Widget(form.multi), "ab");
  QTest::keyClick(Widget(form.multi), Qt::Key_Return);
  QTest::keyClicks(Widget(form.multi), "c");
  EXPECT_EQ(form.multi.Text(), "ab\r\nc");
  EXPECT_EQ(Widget<QPlainTextEdit>(form.multi)->blockCount(), 2);
}

TEST_F(RendererTest, ALongTextInAOneLineBoxIsKeptWholeWhenTheUserTypes) {
  form.Show();
  const std::string text = std::string(40000, 'a') + " more";  // a file read into a one-line box
  form.line.SetText(text);
  EXPECT_EQ(Widget<QLineEdit>(form.line)->text().toStdString(), text);
  Widget(form.line)->setFocus();
  QTest::keyClick(Widget(form.line), Qt::Key_End);
  QTest::keyClicks(Widget(form.line), "!");
  EXPECT_EQ(form.line.Text(), text + "!");
}

TEST_F(RendererTest, TitleBarCloseAsksTheWindowAndACancelKeepsIt) {
  form.Show();
  form.keepOpen = 1;
  Widget(form)->close();
  EXPECT_EQ(form.events, (std::vector<std::string>{"Form_QueryUnload 0"}));
  EXPECT_TRUE(desktop.windows.IsAttached(&form));
  EXPECT_TRUE(Widget(form)->isVisible());

  form.keepOpen = 0;
  QPointer<QWidget> window = Widget(form);
  // Inside a call from outside, as a user's action would be: the unloaded
  // window lives until it has returned.
  desktop.dispatch([&] {
    window->close();
    EXPECT_EQ(form.events.back(), "Form_Unload");
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(desktop.windows.IsAttached(&form));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(form.view, nullptr);
    EXPECT_EQ(form.line.view, nullptr);
    form.line.SetText("after");  // nothing draws it any more; nothing breaks
  });
  EXPECT_FALSE(sample.IsLoaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST_F(RendererTest, AButtonThatUnloadsItsOwnWindowIsSafe) {
  form.Show();
  form.button.Click = [this] { form.Unload(); };
  QPointer<QPushButton> button = Widget<QPushButton>(form.button);
  button->click();  // its window goes while its own signal is still running
  EXPECT_FALSE(desktop.windows.IsAttached(&form));
  ASSERT_FALSE(button.isNull());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(button.isNull());
}

TEST_F(RendererTest, WindowStatesBothWays) {
  form.Show();
  Widget(form)->showMaximized();
  EXPECT_EQ(form.WindowState(), vbMaximized);
  Widget(form)->showMinimized();
  EXPECT_EQ(form.WindowState(), vbMinimized);
  Widget(form)->showNormal();
  EXPECT_EQ(form.WindowState(), vbNormal);
  EXPECT_EQ(form.events, (std::vector<std::string>{"Form_Resize 2", "Form_Resize 1", "Form_Resize 0"}));

  form.events.clear();
  form.SetWindowState(vbMaximized);
  EXPECT_TRUE(Widget(form)->isMaximized());
  EXPECT_EQ(form.events, (std::vector<std::string>{"Form_Resize 2"}));  // once, not echoed back
  form.SetWindowState(vbMinimized);
  EXPECT_TRUE(Widget(form)->isMinimized());
  form.SetWindowState(vbMaximized);  // back from minimised, which kept the maximised mark
  EXPECT_EQ(Widget(form)->windowState(), Qt::WindowMaximized);
  form.Hide();
  EXPECT_FALSE(Widget(form)->isVisible());
}

TEST_F(RendererTest, AlwaysOnTopKeepsPositionAndVisibility) {
  form.Show();
  QPoint before = Widget(form)->pos();
  MakeTopmost(form);
  EXPECT_TRUE(Widget(form)->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(Widget(form)->isVisible());
  EXPECT_EQ(Widget(form)->pos(), before);
  EXPECT_EQ(Widget(form)->size(), QSize(400, 300));
}

TEST_F(RendererTest, CentredWindowOpensInTheMiddleOfTheScreen) {
  WindowSlot<Sample> other{app};
  Sample& centred = other();
  centred.centred = true;
  centred.Show();
  QRect area = Widget(centred)->screen()->availableGeometry();
  QPoint middle = Widget(centred)->geometry().center();
  EXPECT_LE(std::abs(middle.x() - area.center().x()), 2);
  EXPECT_LE(std::abs(middle.y() - area.center().y()), 2);
}

TEST_F(RendererTest, PopupMenuShowsItemsAndSeparatorsAndRunsTheChoice) {
  form.PopupMenu(form.menu);
  QMenu* popup = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }));
  auto actions = popup->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), "First");
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_EQ(actions[2]->text(), "&Second");
  actions[2]->trigger();
  EXPECT_EQ(form.events, (std::vector<std::string>{"mnuSecond_Click"}));
  popup->close();
}

TEST_F(RendererTest, WebBrowserRefusesFilesAndSaysWhenAPageCannotBeReached) {
  class Browser : public Window {
   public:
    explicit Browser(Program& app) : Window(app, "Tutorial") { web.geometry = {4, 4, 300, 200}; }
    WebBrowser web{*this, "WebBrowser1"};
  };
  WindowSlot<Browser> browser{app};
  Browser& window = browser();
  auto* view = Widget<WebView>(window.web);
  ASSERT_NE(view, nullptr);

  QTemporaryDir dir;
  QFile page(dir.filePath("page.html"));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<html><body><h1>Tutorial page</h1></body></html>");
  page.close();
  window.web.Navigate2(QUrl::fromLocalFile(page.fileName()).toString().toStdString());
  EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains("cannot be shown"); }));
  EXPECT_TRUE(view->toPlainText().contains("Only http and https")) << view->toPlainText().toStdString();
  EXPECT_FALSE(view->toPlainText().contains("Tutorial page"));

  window.web.Navigate2("http://127.0.0.1:1/tutorial/");
  EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains("cannot be shown"); }));
  EXPECT_TRUE(view->toPlainText().contains("127.0.0.1:1/tutorial/"));
}

TEST(LabelText, AmpersandsAsTheDesignMeansThem) {
  EXPECT_EQ(LabelText("&File"), "File");
  EXPECT_EQ(LabelText("Options && Features"), "Options & Features");
  EXPECT_EQ(LabelText("a&&&b"), "a&b");
  EXPECT_EQ(LabelText("end&"), "end");
}

}  // namespace
}  // namespace tallow::desktop::testing
