#include "platform/desktop/renderer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/desktop/assets.h"
#include "platform/desktop/web_view.h"
#include "platform/text.h"

namespace tallow::desktop {

std::string LabelText(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The text of a multi-line box's widget, with the CR LF line breaks that the
// model holds. Qt's plain-text export turns no-break spaces into blanks; the
// document's raw text keeps every character the user sees, with U+2029
// between lines.
std::string EditText(const QPlainTextEdit& edit) {
  QString text = edit.document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  return text::ToCrLf(text.toStdString());
}

// Qt's word wrap searches a run without a blank again for every line that it
// wraps from it, so a run of megabytes (a pasted data line) takes hours. A
// run that long is no word anyone reads: such a text wraps anywhere.
void ChooseWrap(QPlainTextEdit& edit, const QString& text) {
  constexpr int kLongestWord = 10000;
  int run = 0;
  bool longRun = false;
  for (qsizetype i = 0; i < text.size() && !longRun; ++i) {
    run = text[i].isSpace() ? 0 : run + 1;
    longRun = run > kLongestWord;
  }
  edit.setWordWrapMode(longRun ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// A row shows the start of its item: Qt lays out a row's whole text each time
// it paints it, and a row of a list box never shows more than this.
QStringList Rows(const ListBox& list, int first, int count) {
  constexpr qsizetype kRowChars = 1000;
  QStringList rows;
  for (int i = first; i < first + count; ++i) {
    QString row = Q(list.List(i));
    if (row.size() > kRowChars) {
      row.truncate(kRowChars);
      if (row.back().isHighSurrogate()) row.chop(1);
    }
    rows << row;
  }
  return rows;
}

// A list box that tells the model about every press on an item, on the
// selected item too; keyboard moves come as changes of the current row.
class ClickList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  std::function<void(int)> pressed;  // the row under the pointer; -1: no item there
  bool unchosen = false;             // the current row moves, but not by the user's choice

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    unchosen = true;  // told by `pressed` below
    QListWidget::mousePressEvent(e);
    unchosen = false;
    if (pressed) pressed(indexAt(e->position().toPoint()).row());
  }
  // Qt makes the first row current when a list with none takes the focus
  // other than by the mouse (a window's first show, Tab, the window coming to
  // the front): nobody chose it, so it is taken back, and the next Down
  // selects the first row.
  void focusInEvent(QFocusEvent* e) override {
    const bool hadCurrent = currentIndex().isValid();
    unchosen = true;
    QListWidget::focusInEvent(e);
    if (!hadCurrent && currentIndex().isValid()) selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    unchosen = false;
  }
};

// A label that tells the model about clicks.
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> clicked;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    QLabel::mouseReleaseEvent(e);
    if (clicked && rect().contains(e->position().toPoint())) clicked();
  }
};

void SetColour(QWidget* w, std::optional<unsigned> colour) {
  if (!colour) return;
  QPalette p = w->palette();
  QColor c(static_cast<int>((*colour >> 16) & 0xFF), static_cast<int>((*colour >> 8) & 0xFF),
           static_cast<int>(*colour & 0xFF));
  p.setColor(QPalette::Window, c);
  p.setColor(QPalette::Base, c);
  p.setColor(QPalette::Button, c);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

// A picture smaller than its area sits in the middle of it, and the rest of
// the area takes the colours of the picture's nearest edge: a banner laid over
// a wide strip then runs across the whole strip as one band. A picture that
// fits exactly, or does not fit, is drawn as it is from the top left.
QPixmap InArea(const QPixmap& picture, QSize area) {
  const QSize size = picture.size();
  if (picture.isNull() || area == size || area.width() < size.width() || area.height() < size.height()) return picture;
  const QImage from = picture.toImage().convertToFormat(QImage::Format_ARGB32);
  QImage to(area, QImage::Format_ARGB32);
  const int left = (area.width() - size.width()) / 2, top = (area.height() - size.height()) / 2;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x)
      to.setPixel(x, y,
                  from.pixel(std::clamp(x - left, 0, size.width() - 1), std::clamp(y - top, 0, size.height() - 1)));
  return QPixmap::fromImage(to);
}

}  // namespace

// What draws one kind of control: its widget, wired to the model, and how the
// widget shows the model's state (with the widget's signals blocked); a list
// also follows changes of its items, one change at a time.
struct Drawing {
  using Items = std::function<void(int first, int removed, int added)>;
  Drawing(QWidget* widget = nullptr, std::function<void()> show = {}, Items items = {})
      : widget(widget), show(std::move(show)), items(std::move(items)) {}
  QWidget* widget;
  std::function<void()> show;
  Items items;
};

class ControlView : public View {
 public:
  ControlView(Control& control, Drawing drawing)
      : control(&control), widget(drawing.widget), drawing_(std::move(drawing)) {}
  void Changed() override {
    if (control) Sync();
  }
  void ItemsChanged(int first, int removed, int added) override {
    if (!control || !drawing_.items) return;
    {
      QSignalBlocker block(widget);
      drawing_.items(first, removed, added);
    }
    Sync();  // the selection, which the change may have moved
  }
  void Focus() override {
    if (widget) widget->setFocus();
  }
  void Sync() {
    QSignalBlocker block(widget);
    widget->setVisible(control->Visible());
    widget->setEnabled(control->Enabled());
    if (drawing_.show) drawing_.show();
  }

  Control* control;  // nullptr once its window has unloaded
  QWidget* widget;

 private:
  Drawing drawing_;
};

class FormWidget : public QWidget, public View {
 public:
  FormWidget(Dispatcher& dispatch, Form& form) : dispatch_(dispatch), form_(&form) {
    QFont f = font();
    f.setPixelSize(11);  // the windows' geometry is laid out for this size
    setFont(f);
    setWindowIcon(AssetIcon(form.icon));
    SetColour(this, form.backColor);
    resize(form.geometry.width, form.geometry.height);
    if (!form.sizable) setFixedSize(form.geometry.width, form.geometry.height);
    if (!form.centred && (form.geometry.left || form.geometry.top)) move(form.geometry.left, form.geometry.top);
    for (Control* c : form.Controls()) Build(*c);
    // Tab order: by tab index, then in the order the controls were made.
    std::vector<ControlView*> order;
    for (Control* c : form.Controls()) {
      auto it = views_.find(c);
      if (it != views_.end() && it->second->widget->focusPolicy() != Qt::NoFocus) order.push_back(it->second.get());
    }
    std::stable_sort(order.begin(), order.end(),
                     [](ControlView* a, ControlView* b) { return a->control->tabIndex < b->control->tabIndex; });
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1]->widget, order[i]->widget);
    for (ControlView* v : order) tabOrder_.push_back(v->widget);
    form.view = this;
    Changed();
  }

  Form* form() const { return form_; }
  QWidget* WidgetOf(const Control& c) const {
    auto it = views_.find(const_cast<Control*>(&c));
    return it == views_.end() ? nullptr : it->second->widget;
  }

  // The window unloaded: nothing may reach the model through us any more.
  void Retire() {
    if (!form_) return;
    form_->view = nullptr;
    for (auto& [c, v] : views_) {
      c->view = nullptr;
      v->control = nullptr;
    }
    form_ = nullptr;
    hide();
  }

  // A user action on a control: runs in a dispatch, then shows the control's
  // state again (an option clicked while on stays on, for one).
  void User(Control& c, const std::function<void()>& action) {
    if (!form_) return;
    dispatch_([&] {
      if (form_) action();
    });
    auto it = views_.find(&c);
    if (form_ && it != views_.end() && it->second->control) it->second->Sync();
  }

  void Changed() override {
    if (!form_) return;
    applying_ = true;
    setWindowTitle(Q(form_->Caption()));
    Qt::WindowFlags flags = Qt::Window;
    if (form_->borderless) flags |= Qt::FramelessWindowHint;
    if (form_->TopMost()) flags |= Qt::WindowStaysOnTopHint;
    if (flags != flags_) {
      flags_ = flags;
      setWindowFlags(flags);  // hides the window: shown again below
    }
    if (form_->Visible()) {
      if (!shown_ && form_->centred && screen()) {
        QRect area = screen()->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
      }
      if (!shown_) FocusFirst();
      shown_ = true;
      ApplyState();
    } else if (isVisible()) {
      hide();
    }
    applying_ = false;
  }

  void Raise() override {
    if (!form_ || !isVisible()) return;
    raise();
    activateWindow();
  }

  void Popup(Menu& menu) override {
    auto* popup = new QMenu(this);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setSeparatorsCollapsible(false);  // two separators in a row show as two lines
    Fill(popup, menu);
    popup->popup(QCursor::pos());
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (!form_) return e->accept();
    e->ignore();  // the model decides: an unload hides us, a cancel keeps us
    Form* f = form_;
    dispatch_([f] { f->host().UnloadForm(*f, 0); });
  }

  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || !form_ || applying_) return;
    const int state = (windowState() & Qt::WindowMinimized)   ? vbMinimized
                      : (windowState() & Qt::WindowMaximized) ? vbMaximized
                                                              : vbNormal;
    if (state == form_->WindowState()) return;
    Form* f = form_;
    dispatch_([f, state] { f->SetWindowState(state); });
  }

 private:
  // A window opens with the focus on the first control of its tab order that
  // can take it, as the user expects to find it there.
  void FocusFirst() {
    for (QWidget* w : tabOrder_) {
      if (w->isVisibleTo(this) && w->isEnabled()) {
        w->setFocus();
        return;
      }
    }
  }

  void ApplyState() {
    switch (form_->WindowState()) {
      case vbMinimized:
        if (!isVisible() || !(windowState() & Qt::WindowMinimized)) showMinimized();
        break;
      case vbMaximized:
        // A window minimised from maximised is still marked maximised.
        if (!isVisible() || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) != Qt::WindowMaximized)
          showMaximized();
        break;
      default:
        if (!isVisible() || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) showNormal();
    }
  }

  void Fill(QMenu* popup, Menu& menu) {
    for (Menu* item : menu.Items()) {
      if (!item->Visible()) continue;
      if (item->IsSeparator()) {
        popup->addSeparator();
      } else if (!item->Items().empty()) {
        Fill(popup->addMenu(Q(item->Caption())), *item);
      } else {
        QAction* action = popup->addAction(Q(item->Caption()));
        action->setEnabled(item->Enabled());
        QObject::connect(action, &QAction::triggered, this, [this, item] {
          if (form_)
            dispatch_([this, item] {
              if (form_) item->Choose();
            });
        });
      }
    }
  }

  QWidget* Build(Control& c);

  Dispatcher& dispatch_;
  Form* form_;
  std::map<Control*, std::unique_ptr<ControlView>> views_;
  std::vector<QWidget*> tabOrder_;
  Qt::WindowFlags flags_ = Qt::Window;
  bool applying_ = false;
  bool shown_ = false;
};

// ---- the kinds of control ------------------------------------------------------
namespace {

Drawing DrawLabel(FormWidget& owner, Label& model, QWidget* parent) {
  auto* label = new ClickLabel(parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->clicked = [&owner, &model] {
    owner.User(model, [&model] {
      if (model.Click) model.Click();
    });
  };
  return {label, [label, &model] { label->setText(Q(LabelText(model.Caption()))); }};
}

Drawing DrawFrame(Frame& model, QWidget* parent) {
  auto* frame = new QGroupBox(parent);
  return {frame, [frame, &model] { frame->setTitle(Q(model.Caption())); }};
}

Drawing DrawButton(FormWidget& owner, CommandButton& model, QWidget* parent) {
  auto* button = new QPushButton(parent);
  QObject::connect(button, &QPushButton::clicked, &owner,
                   [&owner, &model] { owner.User(model, [&model] { model.Press(); }); });
  return {button, [button, &model] { button->setText(Q(model.Caption())); }};
}

Drawing DrawMultiLineBox(FormWidget& owner, TextBox& model, QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setVerticalScrollBarPolicy(model.scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  box->setTabChangesFocus(true);
  QObject::connect(box, &QPlainTextEdit::textChanged, &owner, [&owner, &model, box] {
    std::string text = EditText(*box);
    owner.User(model, [&model, text] { model.SetText(text); });
  });
  return {box, [box, &model] {
            if (EditText(*box) == model.Text()) return;
            const QString text = Q(text::ToLf(model.Text()));
            ChooseWrap(*box, text);
            box->setPlainText(text);
          }};
}

Drawing DrawOneLineBox(FormWidget& owner, TextBox& model, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  // Qt cuts a line edit's text at 32767 characters; the model's box has no
  // such limit, and the cut would reach the model at the next key.
  box->setMaxLength(std::numeric_limits<int>::max());
  QObject::connect(box, &QLineEdit::textEdited, &owner, [&owner, &model, box](const QString& s) {
    const int cursor = box->cursorPosition();
    std::string text = s.toStdString();
    owner.User(model, [&model, text] { model.SetText(text); });
    // The model turned pasted line breaks into blanks: the cursor stays
    // behind what the user pasted.
    const qsizetype joined = s.left(cursor).count(QStringLiteral("\r\n"));
    box->setCursorPosition(static_cast<int>(std::min(cursor - joined, box->text().size())));
  });
  return {box, [box, &model] {
            if (box->text().toStdString() != model.Text()) box->setText(Q(model.Text()));
          }};
}

Drawing DrawList(FormWidget& owner, ListBox& model, QWidget* parent) {
  auto* list = new ClickList(parent);
  // Every row is one line: Qt then lays out a list of any length at once.
  list->setUniformItemSizes(true);
  list->addItems(Rows(model, 0, model.ListCount()));
  list->pressed = [&owner, &model](int row) { owner.User(model, [&model, row] { model.UserClick(row); }); };
  QObject::connect(list, &QListWidget::currentRowChanged, &owner, [&owner, &model, list](int row) {
    if (!list->unchosen && row != model.ListIndex()) owner.User(model, [&model, row] { model.SetListIndex(row); });
  });
  QObject::connect(list, &QListWidget::itemDoubleClicked, &owner,
                   [&owner, &model] { owner.User(model, [&model] { model.DoubleClick(); }); });
  auto select = [list, &model] {
    if (model.ListIndex() < 0) {
      list->clearSelection();
      list->setCurrentItem(nullptr);
    } else if (list->currentRow() != model.ListIndex()) {
      list->setCurrentRow(model.ListIndex());
    }
  };
  auto items = [list, &model](int first, int removed, int added) {
    if (removed == list->count()) {
      list->clear();
    } else {
      for (int i = 0; i < removed; ++i) delete list->takeItem(first);
    }
    list->insertItems(first, Rows(model, first, added));
  };
  return {list, select, items};
}

Drawing DrawOption(FormWidget& owner, OptionButton& model, QWidget* parent) {
  auto* option = new QRadioButton(parent);
  option->setAutoExclusive(false);  // the model switches the others off
  QObject::connect(option, &QRadioButton::clicked, &owner,
                   [&owner, &model] { owner.User(model, [&model] { model.SetValue(true); }); });
  return {option, [option, &model] {
            option->setText(Q(model.Caption()));
            option->setChecked(model.Value());
          }};
}

Drawing DrawCheck(FormWidget& owner, CheckBox& model, QWidget* parent) {
  auto* check = new QCheckBox(parent);
  QObject::connect(check, &QCheckBox::clicked, &owner,
                   [&owner, &model](bool on) { owner.User(model, [&model, on] { model.SetValue(on ? 1 : 0); }); });
  return {check, [check, &model] {
            check->setText(Q(model.Caption()));
            check->setChecked(model.Value() == 1);
          }};
}

Drawing DrawPicture(Image& model, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return {picture, [picture, &model] {
            const QSize area(model.geometry.width, model.geometry.height);
            picture->setPixmap(InArea(AssetPixmap(model.Picture()), area));
          }};
}

Drawing DrawShape(QWidget* parent) {
  auto* shape = new QFrame(parent);
  shape->setFrameShape(QFrame::Box);
  shape->setAttribute(Qt::WA_TransparentForMouseEvents);
  shape->lower();  // under the controls it frames
  return {shape};
}

Drawing DrawWebBrowser(WebBrowser& model, QWidget* parent) {
  auto* web = new WebView(parent);
  // Only a new address of the model's opens a page: the page a followed link
  // opened stays until then.
  return {web, [web, &model, asked = std::string()]() mutable {
            const std::string& url = model.LocationURL();
            if (!url.empty() && url != asked) {
              asked = url;
              web->Navigate(Q(url));
            }
          }};
}

// Timers, file lists and menus have no widget.
Drawing Draw(FormWidget& owner, Control& c, QWidget* parent) {
  switch (c.Kind()) {
    case ControlKind::Label: return DrawLabel(owner, static_cast<Label&>(c), parent);
    case ControlKind::Frame: return DrawFrame(static_cast<Frame&>(c), parent);
    case ControlKind::CommandButton: return DrawButton(owner, static_cast<CommandButton&>(c), parent);
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(c);
      return box.multiLine ? DrawMultiLineBox(owner, box, parent) : DrawOneLineBox(owner, box, parent);
    }
    case ControlKind::ListBox: return DrawList(owner, static_cast<ListBox&>(c), parent);
    case ControlKind::OptionButton: return DrawOption(owner, static_cast<OptionButton&>(c), parent);
    case ControlKind::CheckBox: return DrawCheck(owner, static_cast<CheckBox&>(c), parent);
    case ControlKind::Image:
    case ControlKind::PictureBox: return DrawPicture(static_cast<Image&>(c), parent);
    case ControlKind::Shape: return DrawShape(parent);
    case ControlKind::WebBrowser: return DrawWebBrowser(static_cast<WebBrowser&>(c), parent);
    case ControlKind::Timer:
    case ControlKind::FileListBox:
    case ControlKind::Menu: break;
  }
  return {};
}

}  // namespace

QWidget* FormWidget::Build(Control& c) {
  if (auto it = views_.find(&c); it != views_.end()) return it->second->widget;
  QWidget* parent = this;
  if (c.Container() && c.Container()->Kind() == ControlKind::Frame)
    if (QWidget* frame = Build(*c.Container())) parent = frame;
  Drawing drawing = Draw(*this, c, parent);
  QWidget* w = drawing.widget;
  if (!w) return nullptr;
  w->setGeometry(c.geometry.left, c.geometry.top, c.geometry.width, c.geometry.height);
  QFont f = font();
  f.setBold(c.fontBold);
  w->setFont(f);  // set, not inherited: a bold frame keeps its controls plain
  SetColour(w, c.backColor);
  auto view = std::make_unique<ControlView>(c, std::move(drawing));
  c.view = view.get();
  ControlView* v = view.get();
  views_[&c] = std::move(view);
  v->Sync();
  return w;
}

Renderer::~Renderer() {
  for (auto& [form, widget] : forms_) {
    widget->Retire();
    delete widget;
  }
}

void Renderer::Attach(Form& form) {
  if (forms_.count(&form)) return;
  forms_[&form] = new FormWidget(dispatch_, form);
}

void Renderer::Detach(Form& form) {
  auto it = forms_.find(&form);
  if (it == forms_.end()) return;
  FormWidget* widget = it->second;
  forms_.erase(it);
  widget->Retire();
  dispatch_.Defer([widget] { widget->deleteLater(); });
}

std::string Renderer::LoadPicture(const std::string& path) { return LoadPictureFile(path); }

QWidget* Renderer::WidgetOf(const Form& form) const {
  auto it = forms_.find(&form);
  return it == forms_.end() ? nullptr : it->second;
}

QWidget* Renderer::WidgetOf(const Control& control) const {
  auto it = forms_.find(&control.Owner());
  return it == forms_.end() ? nullptr : it->second->WidgetOf(control);
}

}  // namespace tallow::desktop
