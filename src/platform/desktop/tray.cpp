#include "platform/desktop/tray.h"

#include <QApplication>
#include <QMouseEvent>

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

QtNotifyArea::QtNotifyArea(Dispatcher& dispatch, Renderer& windows) : dispatch_(dispatch), windows_(windows) {
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

QtNotifyArea::~QtNotifyArea() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

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
  if (message == NotifyMessage::Add) icon.qt->show();
  return true;
}

// An icon's own window in an XEmbed area is made and shown for one icon at a
// time, as the icon is shown or an area comes up: it belongs to the icon
// whose window has gone, or never came.
void QtNotifyArea::Claim(QObject* shown) {
  auto* w = qobject_cast<QWidget*>(shown);
  if (!w || !w->isWindow() || w->objectName() != QLatin1String("QSystemTrayIconSys")) return;
  for (const auto& [key, icon] : icons_)
    if (icon.window == w) return;
  for (auto& [key, icon] : icons_)
    if (!icon.window) {
      icon.window = w;
      return;
    }
}

bool QtNotifyArea::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type type = e->type();
  if (type == QEvent::Show) Claim(watched);
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick)
    return false;
  for (const auto& [key, icon] : icons_) {
    if (icon.window != watched || !icon.messages) continue;
    if (int number = MouseMessageOf(type, static_cast<QMouseEvent*>(e)->button())) Deliver(key.first, number);
    // The buttons stop here; moves go on, for the tip.
    return type != QEvent::MouseMove;
  }
  return false;
}

void QtNotifyArea::Deliver(const Form* window, int number) {
  // The window may have gone without taking its icon away.
  if (!windows_.IsAttached(window)) return;
  Form* target = const_cast<Form*>(window);
  dispatch_([this, target, number] {
    if (windows_.IsAttached(target)) target->Form_MouseMove(0, 0, static_cast<float>(number * ScreenTwipsPerPixelX), 0);
  });
}

}  // namespace tallow::desktop
