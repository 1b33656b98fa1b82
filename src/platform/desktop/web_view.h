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
  // How long a page may send nothing before the view gives up on it.
  void SetTimeout(int ms) { timeoutMs_ = ms; }

 private:
  void Finished(QNetworkReply* reply);

  QNetworkAccessManager* network_;
  QPointer<QNetworkReply> pending_;
  QUrl address_;
  int timeoutMs_ = 30000;
};

}  // namespace tallow::desktop
