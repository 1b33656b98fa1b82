// The notification area through QSystemTrayIcon, driven by our icon record.
// Mouse activity on an icon reaches the record's window as its mouse-move
// event with the mouse message number in x (in twips), as the tray window
// decodes it.
#pragma once

#include <QSystemTrayIcon>
#include <map>
#include <memory>

#include "platform/desktop/dispatch.h"
#include "platform/services.h"

namespace tallow::desktop {

class Renderer;

// The mouse message number of a Qt activation: left click 0x202, double click
// 0x203, right click 0x205, middle click 0x208; 0 for anything else.
int MouseMessageOf(QSystemTrayIcon::ActivationReason reason);
// The tip field as text: up to its NUL, or all of it when there is none.
std::string TipText(const std::string& field);

class QtNotifyArea : public NotifyArea {
 public:
  QtNotifyArea(Dispatcher& dispatch, Renderer& windows) : dispatch_(dispatch), windows_(windows) {}
  bool Notify(NotifyMessage message, const IconRecord& record) override;
  // The icon of a record's window and id; nullptr when there is none.
  QSystemTrayIcon* IconOf(const Form* window, int id) const;

 private:
  void Activated(const Form* window, int number);

  Dispatcher& dispatch_;
  Renderer& windows_;
  std::map<std::pair<const Form*, int>, std::unique_ptr<QSystemTrayIcon>> icons_;
};

}  // namespace tallow::desktop
