// A light web view: pages fetched with QNetworkAccessManager and shown in a
// QTextBrowser, links followed in place. It loads over http and https only,
// the page and its pictures alike, each within a size and a time limit and
// never on the event loop's time: no local file, however a page names it, and
// nothing that an https page leads to over plain http. It shows a page only
// when Qt can read and lay it out at once (page_guard.h).
#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVariant>

class QNetworkAccessManager;
class QNetworkReply;

namespace tallow::desktop {

class WebView : public QTextBrowser {
 public:
  explicit WebView(QWidget* parent = nullptr);
  // Opens the address; when the page cannot be reached the view says so.
  void Navigate(const QString& address);
  // How long a page, or anything it loads, may take before the view gives up on it.
  void SetTimeout(int ms) { timeoutMs_ = ms; }

  // Why a page at `from` may not lead to `to` (a link, a picture); empty when it may.
  // `from` is empty for the address the program itself opens.
  static QString Refusal(const QUrl& from, const QUrl& to);

 protected:
  // What the page shows with it: what has arrived, else nothing for now.
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QNetworkReply* Get(const QUrl& url);
  void Open(const QUrl& address);
  void PageArrived(QNetworkReply* reply);
  void PictureArrived(QNetworkReply* reply, const QUrl& name);
  void ShowFailure(const QString& why);
  void StopPictures();

  QNetworkAccessManager* network_;
  QPointer<QNetworkReply> pending_;
  QList<QPointer<QNetworkReply>> fetching_;  // the page's pictures on their way
  QHash<QUrl, QPixmap> pictures_;            // by the page's names for them: null until arrived, or when refused
  qint64 pixelsLeft_ = 0;                    // how many more pixels the page's pictures may hold
  QHash<QUrl, double> widthOnly_;            // the widest the page shows a picture it gives no height
  QUrl address_;
  QPixmap none_;  // a picture that is not there (yet)
  QTimer relayout_;
  int timeoutMs_ = 30000;
};

}  // namespace tallow::desktop
