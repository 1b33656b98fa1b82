#include "platform/desktop/tray.h"

#include <QApplication>
#include <QMouseEvent>
#include <functional>

#include "platform/desktop/assets.h"
#include "platform/desktop/renderer.h"
#include "platform/form.h"

namespace tallow::desktop {

int MouseMessageOf(QEvent::Type type, Qt::MouseButton button) {
  if (type == QEvent::MouseMove) return 0x200;
  int first = 0;
  switch (button) {
    case Qt::LeftButton: first = 0x201; break;
    case Qt::RightButton: first = 0x204; break;
    case Qt::MiddleButton: first = 0x207; break;
    default: return 0;
  }
  switch (type) {
    case QEvent::MouseButtonPress: return first;
    case QEvent::MouseButtonRelease: return first + 1;
    case QEvent::MouseButtonDblClick: return first + 2;
    default: return 0;
  }
}

int MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick: return 0x203;
    case QSystemTrayIcon::Context: return 0x205;
    case QSystemTrayIcon::MiddleClick: return 0x208;
    default: return 0;
  }
}

std::string TipText(const std::string& field) { return field.substr(0, field.find('\0')); }

namespace {

// The mouse events of an icon's own window, as mouse messages. The buttons'
// events stop here: Qt's own handling would report a right click on its press.
// Moves go on, for the tip.
class IconWindowMouse : public QObject {
 public:
  IconWindowMouse(QObject* parent, std::function<void(int)> deliver)
      : QObject(parent), deliver_(std::move(deliver)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    const QEvent::Type type = e->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
      return QObject::eventFilter(watched, e);
    if (int number = MouseMessageOf(type, static_cast<QMouseEvent*>(e)->button())) deliver_(number);
    return type != QEvent::MouseMove;
  }

 private:
  std::function<void(int)> deliver_;
};

}  // namespace

QSystemTrayIcon* QtNotifyArea::IconOf(const Form* window, int id) const {
  auto it = icons_.find({window, id});
  return it == icons_.end() ? nullptr : it->second.qt.get();
}

const QIcon& QtNotifyArea::Picture(const std::string& name) {
  auto it = pictures_.find(name);
  if (it == pictures_.end()) it = pictures_.emplace(name, AssetIcon(name)).first;
  return it->second;
}

bool QtNotifyArea::Notify(NotifyMessage message, const IconRecord& record) {
  const Form* window = record.hWnd;
  const auto key = std::make_pair(window, record.uID);
  auto it = icons_.find(key);
  if (message == NotifyMessage::Delete) {
    if (it == icons_.end()) return false;
    // Later: we may be inside one of its own events.
    QSystemTrayIcon* gone = it->second.qt.release();
    gone->hide();
    gone->deleteLater();
    icons_.erase(it);
    return true;
  }
  if ((message == NotifyMessage::Add) == (it != icons_.end())) return false;  // add twice, or modify none
  if (message == NotifyMessage::Add) {
    it = icons_.emplace(key, Icon{}).first;
    Icon& icon = it->second;
    icon.qt = std::make_unique<QSystemTrayIcon>();
    icon.messages = record.uFlags & 1;
    if (icon.messages)
      QObject::connect(icon.qt.get(), &QSystemTrayIcon::activated, [this, window](QSystemTrayIcon::ActivationReason r) {
        if (int number = MouseMessageOf(r)) Deliver(window, number);
      });
  }
  Icon& icon = it->second;
  // Each change once: a flash sets the picture and nothing else.
  if ((record.uFlags & 2) && record.hIcon != icon.picture) {
    icon.picture = record.hIcon;
    icon.qt->setIcon(Picture(icon.picture));
  }
  if ((record.uFlags & 4) && TipText(record.szTip) != icon.tip) {
    icon.tip = TipText(record.szTip);
    icon.qt->setToolTip(QString::fromStdString(icon.tip));
  }
  // A notification area that comes up after the icon was shown takes it now.
  if (message == NotifyMessage::Add || (!icon.placed && QSystemTrayIcon::isSystemTrayAvailable()))
    Show(icon, window);
  return true;
}

void QtNotifyArea::Show(Icon& icon, const Form* window) {
  icon.placed = QSystemTrayIcon::isSystemTrayAvailable();
  icon.qt->hide();
  icon.qt->show();
  if (!icon.messages || icon.window) return;
  // In an XEmbed area show() has made the icon's own window: the one that no
  // other icon holds.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() != QLatin1String("QSystemTrayIconSys")) continue;
    bool held = false;
    for (const auto& [k, other] : icons_) held = held || other.window == w;
    if (held) continue;
    icon.window = w;
    w->installEventFilter(new IconWindowMouse(icon.qt.get(), [this, window](int n) { Deliver(window, n); }));
    return;
  }
}

void QtNotifyArea::Deliver(const Form* window, int number) {
  // The window may have gone without taking its icon away.
  if (!windows_.IsAttached(window)) return;
  Form* target = const_cast<Form*>(window);
  dispatch_([this, target, number] {
    if (windows_.IsAttached(target))
      target->Form_MouseMove(0, 0, static_cast<float>(number * ScreenTwipsPerPixelX), 0);
  });
}

}  // namespace tallow::desktop
