#include "platform/desktop/tray.h"

#include "platform/desktop/assets.h"
#include "platform/desktop/renderer.h"
#include "platform/form.h"

namespace tallow::desktop {

int MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger: return 0x202;
    case QSystemTrayIcon::DoubleClick: return 0x203;
    case QSystemTrayIcon::Context: return 0x205;
    case QSystemTrayIcon::MiddleClick: return 0x208;
    default: return 0;
  }
}

std::string TipText(const std::string& field) { return field.substr(0, field.find('\0')); }

QSystemTrayIcon* QtNotifyArea::IconOf(const Form* window, int id) const {
  auto it = icons_.find({window, id});
  return it == icons_.end() ? nullptr : it->second.get();
}

bool QtNotifyArea::Notify(NotifyMessage message, const IconRecord& record) {
  const auto key = std::make_pair(static_cast<const Form*>(record.hWnd), record.uID);
  auto it = icons_.find(key);
  if (message == NotifyMessage::Delete) {
    if (it == icons_.end()) return false;
    it->second->hide();
    icons_.erase(it);
    return true;
  }
  if ((message == NotifyMessage::Add) == (it != icons_.end())) return false;  // add twice, or modify none
  if (message == NotifyMessage::Add) {
    auto icon = std::make_unique<QSystemTrayIcon>();
    const Form* window = record.hWnd;
    const bool wantsMessages = record.uFlags & 1;
    if (wantsMessages)
      QObject::connect(icon.get(), &QSystemTrayIcon::activated, [this, window](QSystemTrayIcon::ActivationReason r) {
        if (int number = MouseMessageOf(r)) Activated(window, number);
      });
    it = icons_.emplace(key, std::move(icon)).first;
  }
  QSystemTrayIcon& icon = *it->second;
  if (record.uFlags & 2) icon.setIcon(AssetIcon(record.hIcon));
  if (record.uFlags & 4) icon.setToolTip(QString::fromStdString(TipText(record.szTip)));
  if (!icon.isVisible()) icon.show();
  return true;
}

void QtNotifyArea::Activated(const Form* window, int number) {
  // The window may have gone without taking its icon away.
  if (!windows_.IsAttached(window)) return;
  Form* target = const_cast<Form*>(window);
  dispatch_([this, target, number] {
    if (windows_.IsAttached(target))
      target->Form_MouseMove(0, 0, static_cast<float>(number * ScreenTwipsPerPixelX), 0);
  });
}

}  // namespace tallow::desktop
