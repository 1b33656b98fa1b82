// The notification area through QSystemTrayIcon, driven by our icon record.
// Mouse activity on an icon reaches the record's window as its mouse-move
// event with the mouse message number in x (in twips), as the tray window
// decodes it.
//
// On an XEmbed notification area (trayer, most X11 panels) the icon is a
// window of our own inside the area, which Qt makes anew whenever an area
// comes up (also one that comes up after the program). Its own mouse events
// give every message of the table, a button's press and release apart, so
// that a right click acts on the release; Qt's own handling of them (it
// reports a right click on the press) is kept out. A StatusNotifierItem host
// reports only what the user meant (activate, context menu, secondary
// activate), which Qt passes on as activations: those are mapped to the
// nearest messages.
#pragma once

#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>
#include <map>
#include <memory>
#include <string>

#include "platform/dispatch.h"
#include "platform/services.h"

namespace tallow::desktop {

class Renderer;

// The mouse message number of a mouse event on the icon's own window:
// 0x200 a move; 0x201, 0x202, 0x203 the left button's press, release and
// double click; 0x204 to 0x206 the right button's, 0x207 to 0x209 the middle
// button's; 0 for anything else.
int MouseMessageOf(QEvent::Type type, Qt::MouseButton button);
// The mouse message number of an activation, where the area reports no more:
// an activation acts as a left double click, a context-menu request as a
// right release, a secondary activation as a middle release; 0 otherwise.
int MouseMessageOf(QSystemTrayIcon::ActivationReason reason);
// The tip field as text: up to its NUL, or all of it when there is none.
std::string TipText(const std::string& field);

class QtNotifyArea : public QObject, public NotifyArea {
 public:
  QtNotifyArea(Dispatcher& dispatch, Renderer& windows);
  ~QtNotifyArea() override;
  bool Notify(NotifyMessage message, const IconRecord& record) override;
  // The icon of a record's window and id; nullptr when there is none.
  QSystemTrayIcon* IconOf(const Form* window, int id) const;

 protected:
  // Sees every event of the program: an icon window as it shows, and the
  // mouse events on it.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Icon {
    std::unique_ptr<QSystemTrayIcon> qt;
    QPointer<QWidget> window;  // its own window in an XEmbed area; null elsewhere
    bool messages = false;     // the record asks for the mouse messages
    std::string picture, tip;  // as last set
  };
  void Claim(QObject* shown);
  const QIcon& Picture(const std::string& name);
  void Deliver(const Form* window, int number);

  Dispatcher& dispatch_;
  Renderer& windows_;
  std::map<std::pair<const Form*, int>, Icon> icons_;
  std::map<std::string, QIcon> pictures_;  // decoded once, not at every flash
};

}  // namespace tallow::desktop
