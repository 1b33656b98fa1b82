// A light web view: pages fetched with QNetworkAccessManager and shown in a
// QTextBrowser (http, https and file addresses; links followed in place).
#pragma once

#include <QPointer>
#include <QTextBrowser>

class QNetworkAccessManager;
class QNetworkReply;

namespace tallow::desktop {

class WebView : public QTextBrowser {
 public:
  explicit WebView(QWidget* parent = nullptr);
  // Opens the address; when the page cannot be reached the view says so.
  void Navigate(const QString& address);
  const QUrl& Address() const { return address_; }

 private:
  void Finished(QNetworkReply* reply);

  QNetworkAccessManager* network_;
  QPointer<QNetworkReply> pending_;
  QUrl address_;
};

}  // namespace tallow::desktop
