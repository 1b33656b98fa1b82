#include "platform/desktop/web_view.h"

#include <QBuffer>
#include <QCursor>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "platform/desktop/page_guard.h"

namespace tallow::desktop {

namespace {

// What the page, and each picture of it, may hold: far more than any tutorial
// page needs, far less than would strain the program.
constexpr qint64 kMostBytes = 4 << 20;
// How many pictures a page may load, and how many pixels they may hold in all.
constexpr int kMostPictures = 64;
constexpr qint64 kMostPixels = 32 << 20;

constexpr const char* kWhy = "tallowmarkWhy";  // why the view stopped a reply

QString Why(const QNetworkReply* reply) {
  const QString ours = reply->property(kWhy).toString();
  return ours.isEmpty() ? reply->errorString() : ours;
}

}  // namespace

WebView::WebView(QWidget* parent) : QTextBrowser(parent), network_(new QNetworkAccessManager(this)), none_(1, 1) {
  none_.fill(Qt::transparent);
  // Lines break between words only: how many there can be is then known
  // before the page is laid out.
  setWordWrapMode(QTextOption::WordWrap);
  // The page is laid out again for the pictures that have come, those that come together at once.
  relayout_.setSingleShot(true);
  relayout_.setInterval(200);
  connect(&relayout_, &QTimer::timeout, this,
          [this] { document()->markContentsDirty(0, document()->characterCount()); });
  setOpenLinks(false);
  // A link that may not be followed leaves the page as it is, and says why where it was clicked.
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    const QUrl to = address_.resolved(link);
    const QString why = Refusal(address_, to);
    if (why.isEmpty())
      Open(to);
    else
      QToolTip::showText(QCursor::pos(), why, this);
  });
}

QString WebView::Refusal(const QUrl& from, const QUrl& to) {
  if (to.scheme() != QLatin1String("http") && to.scheme() != QLatin1String("https"))
    return QStringLiteral("Only http and https addresses are opened here.");
  if (from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http"))
    return QStringLiteral("A page that came over https does not lead to plain http here.");
  return {};
}

void WebView::Navigate(const QString& address) { Open(QUrl::fromUserInput(address)); }

void WebView::Open(const QUrl& address) {
  // No longer the page we wait for, nor its pictures: their cancels are not reported.
  if (QNetworkReply* old = pending_) {
    pending_ = nullptr;
    old->abort();
  }
  StopPictures();
  address_ = address;
  setHtml(QStringLiteral("<p>Opening %1 ...</p>").arg(address_.toString().toHtmlEscaped()));
  if (const QString why = Refusal({}, address_); !why.isEmpty()) return ShowFailure(why);
  QNetworkReply* reply = Get(address_);
  pending_ = reply;
  connect(reply, &QNetworkReply::finished, this, [this, reply] { PageArrived(reply); });
}

// Stopped at the time limit, and as soon as it is known to be larger than the
// view takes; a redirect goes only where a link may.
QNetworkReply* WebView::Get(const QUrl& url) {
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = network_->get(request);
  const auto stop = [reply](const QString& why) {
    reply->setProperty(kWhy, why);
    reply->abort();
  };
  const int ms = timeoutMs_;
  QTimer::singleShot(
      ms, reply, [stop, ms] { stop(QStringLiteral("The server did not answer within %1 seconds.").arg(ms / 1000.0)); });
  // Checked at every piece that arrives: a larger page is stopped a piece past the limit.
  connect(reply, &QNetworkReply::readyRead, reply, [reply, stop] {
    if (reply->bytesAvailable() > kMostBytes)
      stop(QStringLiteral("It is larger than the %1 MiB that this view takes.").arg(kMostBytes >> 20));
  });
  return reply;
}

void WebView::PageArrived(QNetworkReply* reply) {
  reply->deleteLater();
  if (reply != pending_) return;  // an older page, replaced meanwhile
  pending_ = nullptr;
  if (reply->error() != QNetworkReply::NoError) return ShowFailure(Why(reply));
  address_ = reply->url();  // where links and pictures are found from, after the redirects
  const QByteArray body = reply->readAll();
  const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
  const QString path = address_.path();
  const bool html = !(type.startsWith(QLatin1String("text/plain")) ||
                      (type.isEmpty() && !path.endsWith(QLatin1String(".html")) &&
                       !path.endsWith(QLatin1String(".htm")) && !body.trimmed().startsWith('<')));
  const QString text = QString::fromUtf8(body);
  // Read apart from the view, which would lay it out at once, and shown only
  // when its layout can neither take long nor run away.
  const QString tooComplex = QStringLiteral("It is too complex for this view to show.");
  if (PageWork(text, html) > kMostPageWork) return ShowFailure(tooComplex);
  auto* page = new QTextDocument(this);
  page->setDefaultFont(document()->defaultFont());
  page->setDocumentMargin(document()->documentMargin());
  html ? page->setHtml(text) : page->setPlainText(text);
  const PageHeight height = MostHeight(*page, viewport());
  if (height.most > kMostPageHeight) {
    delete page;
    StopPictures();
    return ShowFailure(tooComplex);
  }
  widthOnly_ = height.widthOnly;
  page->setPageSize(QSizeF(0, 0));                 // not laid out until the view gives it its width
  const QPointer<QTextDocument> old = document();  // the view deletes its first one itself
  setDocument(page);
  if (old && old->parent() == this) delete old;
}

void WebView::StopPictures() {
  for (QNetworkReply* old : std::exchange(fetching_, {}))
    if (old) old->abort();
  pictures_.clear();
  pixelsLeft_ = kMostPixels;
}

void WebView::ShowFailure(const QString& why) {
  setHtml(QStringLiteral("<h3>This page cannot be shown</h3><p>%1</p><p>%2</p>")
              .arg(address_.toString().toHtmlEscaped(), why.toHtmlEscaped()));
}

// Qt reads a picture that it is not given straight from a file of that name,
// so it is always given one: the picture once it has arrived, else one of no
// size. Pictures are fetched as the page asks for them; nothing else is loaded.
QVariant WebView::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::ImageResource) return QByteArray();
  if (!pictures_.contains(name)) {
    pictures_.insert(name, QPixmap());
    const QUrl url = address_.resolved(name);
    if (pictures_.size() <= kMostPictures && Refusal(address_, url).isEmpty()) {
      QNetworkReply* reply = Get(url);
      fetching_.append(reply);
      connect(reply, &QNetworkReply::finished, this, [this, reply, name] { PictureArrived(reply, name); });
    }
  }
  const QPixmap picture = pictures_.value(name);
  return picture.isNull() ? none_ : picture;
}

void WebView::PictureArrived(QNetworkReply* reply, const QUrl& name) {
  reply->deleteLater();
  if (!fetching_.removeOne(reply) || reply->error() != QNetworkReply::NoError) return;
  QBuffer bytes;
  bytes.setData(reply->readAll());
  bytes.open(QIODevice::ReadOnly);
  QImageReader reader(&bytes);
  // Its size, from its header: a picture that does not tell it, that would
  // take more than is left, or that the page would show too tall, is not read.
  const QSize size = reader.size();
  const qint64 pixels = qint64(size.width()) * size.height();
  QImage image;
  if (size.isEmpty() || pixels > pixelsLeft_ ||
      std::max<double>(size.height(), widthOnly_.value(name) * size.height() / size.width()) > kTallestPicture ||
      !reader.read(&image))
    return;
  pixelsLeft_ -= pixels;
  const QPixmap picture = QPixmap::fromImage(image);
  pictures_.insert(name, picture);
  document()->addResource(QTextDocument::ImageResource, name, picture);
  if (!relayout_.isActive()) relayout_.start();
}

}  // namespace tallow::desktop
