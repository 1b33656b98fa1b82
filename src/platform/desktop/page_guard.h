// What Qt's rich text engine can show of a web page without holding up the
// event loop. Its reading of a page and its layout run on the event loop and
// cannot be stopped; some constructs make them take far longer than the page
// is large (tables within tables double the layout per level, long lists and
// pictures in one paragraph grow with the square of their count, deep nesting
// under many style rules with their product), and its layout never ends once
// the page is taller than about 8.4 million pixels. So a page is measured
// twice before it is shown: its markup once, in one pass, for the time its
// reading and layout will take, and the document read from it for the height
// it can reach at any width.
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <QUrl>

class QPaintDevice;
class QTextDocument;

namespace tallow::desktop {

// The work Qt will do to read and lay out this page (HTML, or else plain
// text), in nanoseconds on an ordinary desktop PC, an estimate on the safe side.
double PageWork(QStringView page, bool html);
// The most work a page may take: well under a second.
inline constexpr double kMostPageWork = 300e6;

// How tall the page can become at any width: each line as tall as its
// tallest character and broken at every place a line may break, and each
// picture whose page gives no height as tall as the tallest picture shown.
struct PageHeight {
  double most = 0;
  QHash<QUrl, double> widthOnly;  // pictures given only a width on the page: the largest, by name
};
PageHeight MostHeight(const QTextDocument& page, QPaintDevice* screen);
// Far below the height where Qt's layout runs forever.
inline constexpr double kMostPageHeight = 4e6;
// How tall a picture may be shown.
inline constexpr double kTallestPicture = 4096;

}  // namespace tallow::desktop
