// Message boxes, clipboard, timers, the event pump, the environment and the
// notification area on Qt's offscreen platform.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop/end_signals.h"
#include "program_fixture.h"

namespace tallow::desktop::testing {
namespace {

TEST(MessageBoxMapping, IconsButtonsAndAnswers) {
  EXPECT_EQ(ToQtIcon(MsgIcon::None), QMessageBox::NoIcon);
  EXPECT_EQ(ToQtIcon(MsgIcon::Information), QMessageBox::Information);
  EXPECT_EQ(ToQtIcon(MsgIcon::Critical), QMessageBox::Critical);
  EXPECT_EQ(ToQtButtons(MsgButtons::OK), QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(ToQtButtons(MsgButtons::YesNo), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(ToAnswer(QMessageBox::Ok, MsgButtons::OK), vbOK);
  EXPECT_EQ(ToAnswer(QMessageBox::Yes, MsgButtons::YesNo), vbYes);
  EXPECT_EQ(ToAnswer(QMessageBox::No, MsgButtons::YesNo), vbNo);
  // Closed some other way: OK for an OK box, No for a question.
  EXPECT_EQ(ToAnswer(QMessageBox::Cancel, MsgButtons::YesNo), vbNo);
  EXPECT_EQ(ToAnswer(QMessageBox::Cancel, MsgButtons::OK), vbOK);
}

// Presses a button of the message box as soon as it is up.
void Answer(QMessageBox::StandardButton button, QString* title, QString* text, QMessageBox::Icon* icon) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return Answer(button, title, text, icon);
    *title = box->windowTitle();
    *text = box->text();
    *icon = box->icon();
    box->button(button)->click();
  });
}

TEST(QtMessageBoxesTest, ShowsTitlePromptIconAndReturnsTheAnswer) {
  QtMessageBoxes boxes;
  QString title, text;
  QMessageBox::Icon icon{};
  Answer(QMessageBox::No, &title, &text, &icon);
  EXPECT_EQ(boxes.Show("Are you sure?", MsgButtons::YesNo, MsgIcon::None, "Title A"), vbNo);
  EXPECT_EQ(title, "Title A");
  EXPECT_EQ(text, "Are you sure?");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  Answer(QMessageBox::Yes, &title, &text, &icon);
  EXPECT_EQ(boxes.Show("Again?", MsgButtons::YesNo, MsgIcon::Information, "T"), vbYes);
  Answer(QMessageBox::Ok, &title, &text, &icon);
  EXPECT_EQ(boxes.Show("Failed", MsgButtons::OK, MsgIcon::Critical, "T"), vbOK);
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtMessageBoxesTest, APromptThatLooksLikeMarkupShowsAsItIs) {
  QtMessageBoxes boxes;
  const QString prompt = "Not sent: \"<b>x</b>@example.org\" is not one e-mail address.";
  std::string shown;
  std::function<void()> look = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return QTimer::singleShot(0, look);
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    if (label) shown = (label->textFormat() == Qt::PlainText ? "" : "(rich text) ") + label->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  };
  QTimer::singleShot(0, look);
  boxes.Show(prompt.toStdString(), MsgButtons::OK, MsgIcon::Critical, "T");
  EXPECT_EQ(shown, prompt.toStdString());
}

TEST(QtClipboardTest, PlainTextInAndOut) {
  QtClipboard clipboard;
  ASSERT_TRUE(clipboard.SetText("me@example.org é"));
  std::string text = "old";
  ASSERT_TRUE(clipboard.GetText(text));
  EXPECT_EQ(text, "me@example.org é");
  ASSERT_TRUE(clipboard.Clear());
  text = "old";
  ASSERT_TRUE(clipboard.GetText(text));
  EXPECT_EQ(text, "");
  auto* image = new QMimeData;
  image->setImageData(QImage(4, 4, QImage::Format_RGB32));
  QGuiApplication::clipboard()->setMimeData(image);
  ASSERT_TRUE(clipboard.GetText(text));
  EXPECT_EQ(text, "");  // holds no text
}

class Ticking : public Window {
 public:
  explicit Ticking(Program& app) : Window(app, "Ticking") {
    timer.OnTimer = [this] {
      ++ticks;
      if (onTick) onTick();
    };
  }
  void Form_Load() override { runningWhileLoading = static_cast<QtEventLoop&>(svc().loop).IsRunning(timer); }
  Timer timer{*this, "Timer1", 20, true};
  int ticks = 0;
  bool runningWhileLoading = true;
  std::function<void()> onTick;
};

class EventLoopTest : public ProgramOnDesktop {
 protected:
  WindowSlot<Ticking> ticking{app};
};

TEST_F(EventLoopTest, TimersTickWhileLoadedAndEnabledInsideADispatch) {
  bool inside = false;
  Ticking& form = ticking();
  form.onTick = [&] { inside = desktop.dispatch.Running(); };
  EXPECT_FALSE(form.runningWhileLoading);  // not loaded yet
  EXPECT_TRUE(desktop.loop.IsRunning(form.timer));
  EXPECT_TRUE(WaitFor([&] { return form.ticks >= 3; }));
  EXPECT_TRUE(inside);

  form.timer.SetEnabled(false);
  int ticks = form.ticks;
  WaitFor([] { return false; }, 100);
  EXPECT_EQ(form.ticks, ticks);

  form.timer.SetEnabled(true);
  form.timer.SetInterval(10);
  EXPECT_TRUE(WaitFor([&] { return form.ticks > ticks; }));
  desktop.dispatch([&] {
    form.Unload();  // an unloaded window's timers stop
    EXPECT_FALSE(desktop.loop.IsRunning(form.timer));
  });  // and it goes with them
  EXPECT_FALSE(ticking.IsLoaded());
  WaitFor([] { return false; }, 50);
}

TEST_F(EventLoopTest, ATickThatUnloadsItsWindowIsSafe) {
  Ticking& form = ticking();
  form.onTick = [&form] { form.Unload(); };
  // The program destroys it once the tick has returned.
  EXPECT_TRUE(WaitFor([&] { return !ticking.IsLoaded(); }));
  WaitFor([] { return false; }, 60);
}

TEST(QtEventLoopTest, DoEventsHandlesWhatIsPending) {
  Dispatcher dispatch;
  QtEventLoop loop(dispatch);
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  loop.DoEvents();
  EXPECT_TRUE(ran);
}

TEST(QtEventLoopTest, EndProcessEndsAtOnceWithoutCleanUp) {
  std::filesystem::path marker = std::filesystem::temp_directory_path() /
                                 ("tallowmark-end-" + std::to_string(::getpid()));
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    static std::string path = marker.string();
    std::atexit([] { std::fopen(path.c_str(), "w"); });
    Dispatcher dispatch;
    QtEventLoop(dispatch).EndProcess();
    ::_exit(3);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(marker));  // no exit handler ran
  std::filesystem::remove(marker);
}

// Each of the three signals reaches the program's ending on the event loop,
// not inside the signal handler.
TEST(EndSignalsTest, EachSignalCallsTheEndingOnTheEventLoop) {
  std::vector<int> ended;
  int raised = 0;
  EndSignals endSignals([&] { ended.push_back(raised); });
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
    raised = signal;
    ::raise(signal);
    EXPECT_TRUE(ended.empty()) << "called inside the handler";
    QCoreApplication::processEvents();
    EXPECT_EQ(ended, std::vector<int>{signal});
    ended.clear();
  }
}

TEST(ProcessEnvironmentTest, FolderAndNameOfTheExecutable) {
  ProcessEnvironment env;
  auto exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(env.ProgramFolder(), exe.parent_path().string());
  EXPECT_EQ(env.ExeName(), "tallowmark_desktop_tests");
  EXPECT_EQ(env.CurrentDirectory(), std::filesystem::current_path().string());
}

// ---- the notification area -----------------------------------------------------
class TrayWindow : public Window {
 public:
  explicit TrayWindow(Program& app) : Window(app, "FrmSysTray") {}
  void Form_MouseMove(int, int, float x, float) override { moves.push_back(x); }
  std::vector<float> moves;
};

class TrayTest : public ProgramOnDesktop {
 protected:
  WindowSlot<TrayWindow> trayWindow{app};
  TrayWindow& window = trayWindow();
  IconRecord record;
  void SetUp() override {
    record.hWnd = &window;
    record.uID = 1;
    record.uFlags = 7;
    record.uCallbackMessage = 0x200;
    record.hIcon = "flash1";
    record.szTip = std::string("tallowmark") + '\0' + std::string(53, ' ');
  }
};

TEST_F(TrayTest, AddModifyDelete) {
  EXPECT_FALSE(desktop.tray.Notify(NotifyMessage::Modify, record));  // nothing to modify yet
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Add, record));
  QSystemTrayIcon* icon = desktop.tray.IconOf(&window, 1);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->toolTip(), "tallowmark");  // cut at the NUL
  EXPECT_FALSE(icon->icon().isNull());
  QImage first = icon->icon().pixmap(16, 16).toImage();

  record.hIcon = "flash2";
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Modify, record));
  EXPECT_NE(icon->icon().pixmap(16, 16).toImage(), first);  // the two pictures differ

  record.szTip = "no nul at all";
  record.uFlags = 4;  // the tip only: the icon stays
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Modify, record));
  EXPECT_EQ(icon->toolTip(), "no nul at all");

  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Delete, record));
  EXPECT_EQ(desktop.tray.IconOf(&window, 1), nullptr);
  EXPECT_FALSE(desktop.tray.Notify(NotifyMessage::Delete, record));
}

TEST_F(TrayTest, ActivationsArriveAsMouseMessageNumbersInTwips) {
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Add, record));
  QSystemTrayIcon* icon = desktop.tray.IconOf(&window, 1);
  emit icon->activated(QSystemTrayIcon::Trigger);
  emit icon->activated(QSystemTrayIcon::DoubleClick);
  emit icon->activated(QSystemTrayIcon::Context);
  emit icon->activated(QSystemTrayIcon::MiddleClick);
  emit icon->activated(QSystemTrayIcon::Unknown);
  // A notification area that reports activations, not buttons: an
  // activation acts as a double click, the context menu opens on a release.
  EXPECT_EQ(window.moves, (std::vector<float>{0x203 * 15, 0x203 * 15, 0x205 * 15, 0x208 * 15}));

  // A window that went without deleting its icon hears nothing more.
  desktop.dispatch([&] {
    window.Unload();
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(window.moves.size(), 4u);
  });
}

TEST_F(TrayTest, TheIconWindowsOwnMouseEventsArriveAsMessagesAndStopThere) {
  // What Qt makes of an icon in an XEmbed area: a top-level window of its
  // own, shown once the icon is.
  auto iconWindow = std::make_unique<QWidget>();
  auto makeIconWindow = [&] {
    iconWindow = std::make_unique<QWidget>();
    iconWindow->setObjectName("QSystemTrayIconSys");
    iconWindow->setMouseTracking(true);
    iconWindow->show();
  };
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Add, record));
  makeIconWindow();
  auto send = [&](QEvent::Type type, Qt::MouseButton button) {
    const QPointF at(5, 5);
    QMouseEvent e(type, at, iconWindow->mapToGlobal(at), button, type == QEvent::MouseMove ? Qt::NoButton : button,
                  Qt::NoModifier);
    return QApplication::sendEvent(iconWindow.get(), &e);
  };
  EXPECT_TRUE(send(QEvent::MouseButtonPress, Qt::RightButton));
  EXPECT_EQ(window.moves, (std::vector<float>{0x204 * 15})) << "a right press is only a press";
  EXPECT_TRUE(send(QEvent::MouseButtonRelease, Qt::RightButton));
  send(QEvent::MouseButtonPress, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::LeftButton);
  send(QEvent::MouseButtonDblClick, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::LeftButton);
  send(QEvent::MouseMove, Qt::NoButton);
  send(QEvent::MouseButtonDblClick, Qt::MiddleButton);
  send(QEvent::MouseButtonPress, Qt::BackButton);  // no message of its own
  EXPECT_EQ(window.moves, (std::vector<float>{0x204 * 15, 0x205 * 15, 0x201 * 15, 0x202 * 15, 0x203 * 15, 0x202 * 15,
                                              0x200 * 15, 0x209 * 15}));

  // The area went and came back (or came up only now): a new window, heard as well.
  makeIconWindow();
  EXPECT_TRUE(send(QEvent::MouseButtonRelease, Qt::RightButton));
  EXPECT_EQ(window.moves.back(), 0x205 * 15);
  window.moves.clear();

  // Once the icon is deleted its window is no longer heard.
  ASSERT_TRUE(desktop.tray.Notify(NotifyMessage::Delete, record));
  send(QEvent::MouseButtonRelease, Qt::RightButton);
  EXPECT_TRUE(window.moves.empty());
}

}  // namespace
}  // namespace tallow::desktop::testing
