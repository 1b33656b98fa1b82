#include "platform/desktop/qt_services.h"

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/controls.h"

namespace tallow::desktop {

// ---- message boxes -----------------------------------------------------------
QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
  return buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
}

int ToAnswer(int clicked, MsgButtons buttons) {
  if (buttons == MsgButtons::OK) return vbOK;
  return clicked == QMessageBox::Yes ? vbYes : vbNo;
}

int QtMessageBoxes::Show(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title) {
  QMessageBox box(ToQtIcon(icon), QString::fromStdString(title), QString::fromStdString(prompt), ToQtButtons(buttons));
  // Some of the program's windows stay on top: the box must not hide behind them.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  // The prompt may carry the user's own text (an address, a subject, the mail
  // system's words): shown as it is, never taken for markup.
  box.setTextFormat(Qt::PlainText);
  box.setEscapeButton(buttons == MsgButtons::YesNo ? QMessageBox::No : QMessageBox::Ok);
  return ToAnswer(box.exec(), buttons);
}

// ---- clipboard -----------------------------------------------------------------
bool QtClipboard::GetText(std::string& text) {
  text.clear();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
  if (data && data->hasText()) text = data->text().toStdString();
  return true;
}

bool QtClipboard::Clear() {
  QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
  return true;
}

bool QtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text), QClipboard::Clipboard);
  return true;
}

// ---- timers and the event pump -----------------------------------------------------
QtEventLoop::~QtEventLoop() {
  for (auto& [timer, qt] : timers_) delete qt;
}

void QtEventLoop::TimerChanged(Timer& timer) {
  QTimer*& qt = timers_[&timer];
  if (!qt) {
    qt = new QTimer;
    Timer* model = &timer;
    QObject::connect(qt, &QTimer::timeout, [this, model] {
      // The timer may be gone by the time a queued tick is handled.
      if (timers_.count(model)) dispatch_([model] { model->Fire(); });
    });
  }
  if (timer.Running())
    qt->start(timer.Interval());
  else
    qt->stop();
}

void QtEventLoop::TimerGone(Timer& timer) {
  auto it = timers_.find(&timer);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();  // we may be inside its own tick
  timers_.erase(it);
}

bool QtEventLoop::IsRunning(const Timer& timer) const {
  auto it = timers_.find(const_cast<Timer*>(&timer));
  return it != timers_.end() && it->second->isActive();
}

void QtEventLoop::DoEvents() { QCoreApplication::processEvents(); }

void QtEventLoop::EndProcess() {
  if (beforeEnd) beforeEnd();
  std::fflush(nullptr);
#ifdef __SANITIZE_ADDRESS__
  // Ending at once skips the leak check that a normal exit runs: run it here,
  // while everything still in use is still reachable.
  __lsan_do_leak_check();
#endif
  ::_exit(0);
}

// ---- environment -----------------------------------------------------------------------
namespace {
std::filesystem::path Executable() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}
}  // namespace

std::string ProcessEnvironment::ProgramFolder() { return Executable().parent_path().string(); }

std::string ProcessEnvironment::ExeName() { return Executable().stem().string(); }

std::string ProcessEnvironment::CurrentDirectory() {
  std::error_code ec;
  auto cwd = std::filesystem::current_path(ec);
  return ec ? std::string() : cwd.string();
}

}  // namespace tallow::desktop
