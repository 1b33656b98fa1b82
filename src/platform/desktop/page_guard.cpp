#include "platform/desktop/page_guard.h"

#include <QFontMetricsF>
#include <QSet>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

namespace tallow::desktop {

namespace {

// The work of each part of a page, in nanoseconds, as measured with Qt 6.4
// here, rounded up.
constexpr double kPerCharacter = 20;        // reading any character of the page
constexpr double kPerShown = 200;           // laying out a character outside tables
constexpr double kPerShownElement = 4000;   // and an element: a paragraph, or a change of font or colour
constexpr double kPerElement = 1500;        // reading an element
constexpr double kPerClosing = 500;         // reading the end of one
constexpr double kPerAncestor = 30;         // styling an element, per element it is in
constexpr double kPerListAncestor = 300;    // the same for a list or a list item
constexpr double kPerRuleAncestor = 2;      // and per style rule of the page
constexpr double kPerCell = 10000;          // laying out a table cell; each row has as many as its widest
constexpr double kPerEarlierPicture = 600;  // a picture, per picture before it in its paragraph
constexpr double kPerEarlierItem = 44;      // a list item, per item before it in its list
constexpr double kPerEarlierFloat = 40;     // a picture or table beside the text, per one before it
constexpr double kPerMark = 1000;           // an accent or other mark on a character, laid out and drawn
constexpr double kPerEarlierMark = 1;       // and per mark before it on that character
constexpr double kPerScriptChange = 1000;   // a change between Latin and other letters: a new run to shape
constexpr double kPerFont = 500000;         // finding a font that the page names
// A paragraph or outermost table is laid out whole, and once more when the
// view's scroll bar comes.
constexpr double kLayouts = 2;

// Qt's own sorts of elements, as far as they matter here.
enum Kind : unsigned {
  kEmpty = 1 << 0,    // holds nothing
  kHidden = 1 << 1,   // not shown, nor what it holds
  kBlock = 1 << 2,    // a paragraph of its own
  kTabular = 1 << 3,  // a part of a table: a paragraph of its own too
  kTable = 1 << 4,
  kRowGroup = 1 << 5,  // only within a table
  kRow = 1 << 6,
  kCell = 1 << 7,
  kList = 1 << 8,
  kItem = 1 << 9,
  kPara = 1 << 10,
  kTerm = 1 << 11,  // only within a definition list
  kTerms = 1 << 12,
  kPicture = 1 << 13,
  kStyle = 1 << 14,
  kHead = 1 << 15,
  kBody = 1 << 16,  // never within the head
};

struct Element {
  const char* name;
  unsigned kind;
};
// Sorted by name.
// clang-format off
constexpr Element kElements[] = {
    {"blockquote", kBlock}, {"body", kBlock | kBody}, {"br", kEmpty}, {"caption", kBlock | kRowGroup},
    {"center", kBlock}, {"dd", kBlock | kTerm}, {"div", kBlock}, {"dl", kBlock | kTerms}, {"dt", kBlock | kTerm},
    {"h1", kBlock}, {"h2", kBlock}, {"h3", kBlock}, {"h4", kBlock}, {"h5", kBlock}, {"h6", kBlock},
    {"head", kHidden | kHead}, {"hr", kEmpty | kBlock}, {"img", kEmpty | kPicture}, {"li", kBlock | kItem},
    {"link", kHidden}, {"meta", kEmpty | kHidden}, {"ol", kBlock | kList}, {"p", kBlock | kPara},
    {"pre", kBlock}, {"qt", kBlock}, {"script", kHidden}, {"style", kHidden | kStyle},
    {"table", kTabular | kTable}, {"tbody", kTabular | kRowGroup}, {"td", kBlock | kCell},
    {"tfoot", kTabular | kRowGroup}, {"th", kBlock | kCell}, {"thead", kTabular | kRowGroup}, {"title", kHidden},
    {"tr", kTabular | kRow}, {"ul", kBlock | kList},
};
// clang-format on

unsigned KindOf(QStringView name) {
  char lower[12] = {};
  if (name.size() >= qsizetype(sizeof lower)) return 0;
  for (qsizetype i = 0; i < name.size(); ++i) lower[i] = char(name[i].toLower().unicode());
  const auto e = std::lower_bound(std::begin(kElements), std::end(kElements), lower,
                                  [](const Element& e, const char* n) { return std::strcmp(e.name, n) < 0; });
  return e != std::end(kElements) && std::strcmp(e->name, lower) == 0 ? e->kind : 0;
}

bool Same(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// What a tag says that matters here.
struct Attributes {
  int columns = 1;    // that a cell spans
  bool rows = false;  // whether it spans more than one row
  bool floats = false;
  QStringView font;  // the font it names, if it may name one
};

// The elements that are open at a place in the page, as Qt's reader keeps
// them: an element it cannot find the end of stays open.
class Reading {
 public:
  void Start(QStringView name, const Attributes& attributes, bool closed) {
    const unsigned kind = KindOf(name);
    Enter(kind);
    if (kind & (kBlock | kTabular)) Paragraph();
    const double around = open_.size() + 1.0;  // the element is styled as those it is in are
    work_ += kPerElement +
             around * ((kind & (kList | kItem) ? kPerListAncestor : kPerAncestor) + rules_ * kPerRuleAncestor);
    if (!hidden_) Layout(kPerShownElement * std::ldexp(1.0, tables_));
    if (kind & kPicture) Layout(kPerEarlierPicture * pictures_++);
    if (attributes.floats || (floatingSheet_ && kind & (kPicture | kTable))) work_ += kPerEarlierFloat * floats_++;
    if (!attributes.font.isEmpty() && !fonts_.contains(attributes.font)) {
      fonts_.insert(attributes.font);
      work_ += kPerFont;
    }
    if (kind & kItem)
      if (Open* l = Find(kList)) work_ += kPerEarlierItem * l->items++;
    if (kind & kRow) Row();
    if (kind & kCell)
      if (Open* t = Find(kTable)) {
        // a cell that spans rows moves those below it aside, as far as the table is concerned
        t->widest = std::max(t->widest, (t->columns += attributes.columns) + t->spanning);
        if (attributes.rows) t->spanning += attributes.columns;
      }
    if (!(kind & kEmpty) && !closed && !name.isEmpty()) Push(name, kind);
  }

  void End(QStringView name) {
    for (size_t i = open_.size(); i-- > 0;)
      if (Same(open_[i].name, name)) {
        const bool paragraph = open_[i].kind & (kBlock | kTabular);
        PopTo(i);
        work_ += kPerClosing;
        if (paragraph) Paragraph();
        return;
      }
  }

  void Text(QStringView text) {
    work_ += text.size() * kPerCharacter;
    if (styles_) {
      rules_ += text.count(u'{');
      floatingSheet_ |= text.contains(u"float", Qt::CaseInsensitive);
      work_ += kPerFont * text.count(u"font", Qt::CaseInsensitive);
    }
    if (hidden_) return;
    double work = text.size() * kPerShown;
    for (const QChar c : text) {
      const bool mark = c.unicode() >= 0x300 && c.isMark();
      work += mark ? kPerMark + kPerEarlierMark * marks_++ : 0;
      marks_ = mark ? marks_ : 0;
      const int script = c.unicode() < 0x80 ? (c.isLetterOrNumber() ? 1 : 0) : (c.isLetter() ? 2 : 0);
      work += script && script_ && script != script_ ? kPerScriptChange : 0;
      script_ = script ? script : script_;
    }
    Layout(work * std::ldexp(1.0, tables_));
  }

  double Work() {
    PopTo(0);
    Paragraph();
    return work_ + kLayouts * largest_;
  }

 private:
  struct Open {
    QStringView name;
    unsigned kind;
    qint64 rows = 0, columns = 0, widest = 0, spanning = 0;  // of a table
    int items = 0;                                           // of a list
  };

  // Where Qt puts an element: some only in their proper place, which it makes
  // for a table's row or cell, and some end the one they are in.
  void Enter(unsigned kind) {
    if (kind & kPara) {
      for (size_t i = open_.size(); i-- > 0;)
        if (open_[i].kind & kBlock) {
          if (open_[i].kind & kPara) PopTo(i);
          break;
        }
    } else if (kind & kItem) {
      if (!open_.empty() && open_.back().kind & kItem) PopTo(open_.size() - 1);
    } else if (kind & kCell) {
      if (!Find(kRow)) {
        Push(u"table", kTabular | kTable);
        Push(u"tr", kTabular | kRow);
        Row();
      }
      Within(kRow);
    } else if (kind & kRow) {
      if (!Find(kTable | kRowGroup)) Push(u"table", kTabular | kTable);
      Within(kTable | kRowGroup);
    } else if (kind & kRowGroup) {
      Within(kTable);
    } else if (kind & kTerm) {
      Within(kTerms);
    } else if (kind & kBody) {
      if (!open_.empty() && open_.back().kind & kHead) PopTo(open_.size() - 1);
    }
  }

  Open* Find(unsigned kind) {
    for (size_t i = open_.size(); i-- > 0;)
      if (open_[i].kind & kind) return &open_[i];
    return nullptr;
  }
  void Within(unsigned kind) {
    while (!open_.empty() && !(open_.back().kind & kind)) PopTo(open_.size() - 1);
  }
  void Row() {
    if (Open* t = Find(kTable)) {
      ++t->rows;
      t->columns = 0;
    }
  }

  void Push(QStringView name, unsigned kind) {
    open_.push_back({name, kind});
    tables_ += (kind & kTable) != 0;
    hidden_ += (kind & kHidden) != 0;
    styles_ += (kind & kStyle) != 0;
  }
  void PopTo(size_t size) {
    for (; open_.size() > size; open_.pop_back()) {
      const Open& o = open_.back();
      if (o.kind & kTable) {
        Layout(kPerCell * std::max<qint64>(o.rows, 1) * std::max<qint64>(o.widest, 1) * std::ldexp(1.0, --tables_));
        Paragraph();
      }
      hidden_ -= (o.kind & kHidden) != 0;
      styles_ -= (o.kind & kStyle) != 0;
    }
  }

  // Layout work, and the part laid out whole.
  void Layout(double work) {
    work_ += work;
    whole_ += work;
  }
  void Paragraph() {
    pictures_ = 0;
    if (tables_) return;
    largest_ = std::max(largest_, whole_);
    whole_ = 0;
  }

  std::vector<Open> open_;
  int tables_ = 0, hidden_ = 0, styles_ = 0;
  double rules_ = 0;               // style rules read so far
  bool floatingSheet_ = false;     // whether they may set anything beside the text
  int pictures_ = 0, floats_ = 0;  // in the paragraph, and in the page, so far
  int marks_ = 0;                  // on the last character
  int script_ = 0;                 // of the last letter: Latin, or another
  QSet<QStringView> fonts_;
  double work_ = 0, whole_ = 0, largest_ = 0;
};

// The page read as Qt's reader reads it: every "<" begins a tag, which ends
// at the first ">" after its name and attributes (quoted ones may hold ">").
class Markup {
 public:
  explicit Markup(QStringView html) : s_(html) {}

  double Work() {
    Reading reading;
    while (pos_ < s_.size()) {
      const qsizetype tag = s_.indexOf(u'<', pos_);
      reading.Text(s_.mid(pos_, (tag < 0 ? s_.size() : tag) - pos_));
      if (tag < 0) break;
      pos_ = tag + 1;
      Tag(reading);
      tags_ += pos_ - tag;
    }
    return reading.Work() + tags_ * kPerCharacter;
  }

 private:
  void Tag(Reading& reading) {
    Spaces();
    if (At(u'!')) {
      if (s_.mid(pos_ + 1).startsWith(u"--")) {
        const qsizetype end = s_.indexOf(u"-->", pos_ + 3);
        pos_ = end < 0 ? s_.size() : end + 3;
      } else {
        SkipPast();
      }
      return;
    }
    if (At(u'/')) {
      ++pos_;
      const QStringView name = Word().trimmed();
      SkipPast();
      return reading.End(name);
    }
    const QStringView name = Word();
    Attributes attributes;
    if (pos_ < s_.size() && s_[pos_].isSpace())
      while (pos_ < s_.size()) {
        Spaces();
        if (At(u'>') || At(u'/')) break;
        const QStringView key = Word();
        if (key.isEmpty()) break;
        Spaces();
        QStringView value;
        if (At(u'=')) {
          ++pos_;
          Spaces();
          value = Word();
        }
        if (Same(key, u"colspan")) attributes.columns = std::clamp(value.toInt(), 1, 20480);  // as Qt reads it
        if (Same(key, u"rowspan")) attributes.rows = value.toInt() > 1;
        if (Same(key, u"align")) attributes.floats |= Same(value, u"left") || Same(value, u"right");
        if (Same(key, u"style")) attributes.floats |= value.contains(u"float", Qt::CaseInsensitive);
        if (Same(key, u"face") || (Same(key, u"style") && value.contains(u"font", Qt::CaseInsensitive)))
          attributes.font = value;
      }
    bool closed = false;
    while (pos_ < s_.size() && s_[pos_] != u'>') closed |= s_[pos_++] == u'/';
    ++pos_;
    reading.Start(name, attributes, closed);
  }

  QStringView Word() {
    const qsizetype from = pos_;
    if (At(u'"') || At(u'\'')) {
      const QChar quote = s_[pos_++];
      while (pos_ < s_.size() && !(s_[pos_] == quote && (quote == u'"' || s_[pos_ - 1] != u'\\'))) ++pos_;
      return s_.mid(from + 1, pos_++ - from - 1);
    }
    while (pos_ < s_.size()) {
      const QChar c = s_[pos_];
      if (c == u'>' || c == u'<' || c == u'=' || c.isSpace() ||
          (c == u'/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == u'>'))
        break;
      ++pos_;
    }
    return s_.mid(from, pos_ - from);
  }
  bool At(QChar c) const { return pos_ < s_.size() && s_[pos_] == c; }
  void Spaces() {
    while (pos_ < s_.size() && s_[pos_].isSpace() && s_[pos_] != QChar::ParagraphSeparator) ++pos_;
  }
  void SkipPast() {
    while (pos_ < s_.size() && s_[pos_++] != u'>') {
    }
  }

  QStringView s_;
  qsizetype pos_ = 0;
  qsizetype tags_ = 0;  // characters in tags
};

// How tall a line of this text can be: a character that this font lacks
// comes from another, which may be taller.
double LineHeight(const QTextCharFormat& format, const QFont& base, QPaintDevice* screen) {
  const int adjustment = format.intProperty(QTextFormat::FontSizeAdjustment);
  return QFontMetricsF(format.font().resolve(base), screen).height() * 1.5 * (adjustment > 0 ? 2.4 : 1.0);
}

double FramesHeight(QTextFrame* frame) {
  const QTextFrameFormat format = frame->frameFormat();
  double height = format.topMargin() + format.bottomMargin() + 2 * (format.border() + format.padding());
  if (format.height().type() == QTextLength::FixedLength) height += format.height().rawValue();
  if (auto* table = qobject_cast<QTextTable*>(frame)) {
    const QTextTableFormat t = table->format();
    height += (table->rows() + 1) * (t.cellSpacing() + 2 * (t.cellPadding() + t.border()));
    for (int r = 0; r < table->rows(); ++r)
      for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCellFormat cell = table->cellAt(r, c).format().toTableCellFormat();
        height += cell.topPadding() + cell.bottomPadding() + cell.topBorder() + cell.bottomBorder();
      }
  }
  for (QTextFrame* child : frame->childFrames()) height += FramesHeight(child);
  return height;
}

}  // namespace

double PageWork(QStringView page, bool html) {
  if (html) return Markup(page).Work();
  qsizetype longest = 0;  // line, laid out whole
  for (qsizetype from = 0, end = 0; from <= page.size(); from = end + 1) {
    end = page.indexOf(u'\n', from);
    if (end < 0) end = page.size();
    longest = std::max(longest, end - from);
  }
  return page.size() * (kPerCharacter + kPerShown) + kLayouts * longest * kPerShown;
}

PageHeight MostHeight(const QTextDocument& page, QPaintDevice* screen) {
  PageHeight height;
  QHash<int, double> lineHeights;  // by the document's number for the format
  const QFont base = page.defaultFont();
  for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
    double line = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      if (format.isImageFormat()) {
        // Until it comes, a picture is shown as a square point, so one given
        // only a width is as high as wide.
        const QTextImageFormat picture = format.toImageFormat();
        const double high = picture.height() > 0 ? picture.height() : std::max(kTallestPicture, picture.width());
        if (picture.height() <= 0 && picture.width() > 0) {
          const QUrl name(picture.name());  // as the view is asked for it
          height.widthOnly[name] = std::max(height.widthOnly.value(name), picture.width());
        }
        height.most += fragment.length() * high;
        continue;
      }
      auto known = lineHeights.constFind(fragment.charFormatIndex());
      if (known == lineHeights.constEnd())
        known = lineHeights.insert(fragment.charFormatIndex(), LineHeight(format, base, screen));
      line = std::max(line, *known);
    }
    if (line == 0) line = LineHeight(block.charFormat(), base, screen);
    const QTextBlockFormat format = block.blockFormat();
    switch (format.lineHeightType()) {
      case QTextBlockFormat::ProportionalHeight: line *= std::max(1.0, format.lineHeight() / 100); break;
      case QTextBlockFormat::FixedHeight:
      case QTextBlockFormat::MinimumHeight: line = std::max(line, format.lineHeight()); break;
      case QTextBlockFormat::LineDistanceHeight: line += std::max(0.0, format.lineHeight()); break;
      default: break;
    }
    // The view breaks lines between words only, never within one.
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, block.text());
    int lines = 1;
    while (breaks.toNextBoundary() >= 0) ++lines;
    height.most += lines * line + format.topMargin() + format.bottomMargin();
  }
  height.most += FramesHeight(page.rootFrame());
  return height;
}

}  // namespace tallow::desktop
