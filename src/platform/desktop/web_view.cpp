#include "platform/desktop/web_view.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tallow::desktop {

WebView::WebView(QWidget* parent) : QTextBrowser(parent), network_(new QNetworkAccessManager(this)) {
  setOpenLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& link) { Navigate(address_.resolved(link).toString()); });
}

void WebView::Navigate(const QString& address) {
  // No longer the page we wait for: its cancel is not reported.
  if (QNetworkReply* old = pending_) {
    pending_ = nullptr;
    old->abort();
  }
  address_ = QUrl::fromUserInput(address);
  setHtml(QStringLiteral("<p>Opening %1 ...</p>").arg(address_.toString().toHtmlEscaped()));
  QNetworkRequest request(address_);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(timeoutMs_);
  QNetworkReply* reply = network_->get(request);
  pending_ = reply;
  connect(reply, &QNetworkReply::finished, this, [this, reply] { Finished(reply); });
}

void WebView::Finished(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != pending_) return;  // an older page, replaced meanwhile
  pending_ = nullptr;
  if (reply->error() != QNetworkReply::NoError) {
    // Only the time limit cancels the page we still wait for; Qt calls that
    // "Operation canceled", which tells the user nothing.
    const QString reason = reply->error() == QNetworkReply::OperationCanceledError
                               ? QStringLiteral("The server did not answer within %1 seconds.").arg(timeoutMs_ / 1000.0)
                               : reply->errorString();
    setHtml(QStringLiteral("<h3>This page cannot be shown</h3><p>%1</p><p>%2</p>")
                .arg(address_.toString().toHtmlEscaped(), reason.toHtmlEscaped()));
    return;
  }
  const QByteArray body = reply->readAll();
  const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
  const QString path = reply->url().path();
  document()->setMetaInformation(QTextDocument::DocumentUrl, reply->url().toString());
  if (type.startsWith(QLatin1String("text/plain")) ||
      (type.isEmpty() && !path.endsWith(QLatin1String(".html")) && !path.endsWith(QLatin1String(".htm")) &&
       !body.trimmed().startsWith('<')))
    setPlainText(QString::fromUtf8(body));
  else
    setHtml(QString::fromUtf8(body));
}

}  // namespace tallow::desktop
