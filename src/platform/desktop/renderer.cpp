#include "platform/desktop/renderer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextDocument>
#include <algorithm>
#include <limits>
#include <memory>

#include "platform/controls.h"
#include "platform/desktop/assets.h"
#include "platform/desktop/web_view.h"

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

std::string ToCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string FromCrLf(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
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
  return ToCrLf(text.toStdString());
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
  bool pressing = false;             // the current row moves because of a press

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    pressing = true;
    QListWidget::mousePressEvent(e);
    pressing = false;
    if (pressed) pressed(indexAt(e->position().toPoint()).row());
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
  if (picture.isNull() || area == size || area.width() < size.width() || area.height() < size.height())
    return picture;
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

class ControlView : public View {
 public:
  ControlView(FormWidget& owner, Control& control, QWidget* widget)
      : owner(owner), control(&control), widget(widget) {}
  void Changed() override {
    if (control) Sync();
  }
  void ItemsChanged(int first, int removed, int added) override;
  void Focus() override {
    if (widget) widget->setFocus();
  }
  void Sync();

  FormWidget& owner;
  Control* control;  // nullptr once its window has unloaded
  QWidget* widget;
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
        if (!isVisible() || !(windowState() & Qt::WindowMaximized)) showMaximized();
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
          if (form_) dispatch_([this, item] {
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

QWidget* FormWidget::Build(Control& c) {
  if (auto it = views_.find(&c); it != views_.end()) return it->second->widget;
  QWidget* parent = this;
  if (c.Container() && c.Container()->Kind() == ControlKind::Frame)
    if (QWidget* frame = Build(*c.Container())) parent = frame;

  QWidget* w = nullptr;
  switch (c.Kind()) {
    case ControlKind::Timer:
    case ControlKind::FileListBox:
    case ControlKind::Menu:
      return nullptr;
    case ControlKind::Label: {
      auto* label = new ClickLabel(parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      auto& model = static_cast<Label&>(c);
      label->clicked = [this, &model] { User(model, [&model] { if (model.Click) model.Click(); }); };
      w = label;
      break;
    }
    case ControlKind::Frame:
      w = new QGroupBox(parent);
      break;
    case ControlKind::CommandButton: {
      auto* button = new QPushButton(parent);
      auto& model = static_cast<CommandButton&>(c);
      QObject::connect(button, &QPushButton::clicked, this, [this, &model] { User(model, [&model] { model.Press(); }); });
      w = button;
      break;
    }
    case ControlKind::TextBox: {
      auto& model = static_cast<TextBox&>(c);
      if (model.multiLine) {
        auto* box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(model.scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
        QObject::connect(box, &QPlainTextEdit::textChanged, this, [this, &model, box] {
          std::string text = EditText(*box);
          User(model, [&model, text] { model.SetText(text); });
        });
        w = box;
      } else {
        auto* box = new QLineEdit(parent);
        // Qt cuts a line edit's text at 32767 characters; the model's box has
        // no such limit, and the cut would reach the model at the next key.
        box->setMaxLength(std::numeric_limits<int>::max());
        QObject::connect(box, &QLineEdit::textEdited, this, [this, &model, box](const QString& s) {
          const int cursor = box->cursorPosition();
          std::string text = s.toStdString();
          User(model, [&model, text] { model.SetText(text); });
          // The model turned pasted line breaks into blanks: the cursor stays
          // behind what the user pasted.
          const qsizetype joined = s.left(cursor).count(QStringLiteral("\r\n"));
          box->setCursorPosition(static_cast<int>(std::min(cursor - joined, box->text().size())));
        });
        w = box;
      }
      break;
    }
    case ControlKind::ListBox: {
      auto* list = new ClickList(parent);
      // Every row is one line: Qt then lays out a list of any length at once.
      list->setUniformItemSizes(true);
      auto& model = static_cast<ListBox&>(c);
      list->addItems(Rows(model, 0, model.ListCount()));
      list->pressed = [this, &model](int row) { User(model, [&model, row] { model.UserClick(row); }); };
      QObject::connect(list, &QListWidget::currentRowChanged, this, [this, &model, list](int row) {
        if (!list->pressing && row != model.ListIndex()) User(model, [&model, row] { model.SetListIndex(row); });
      });
      QObject::connect(list, &QListWidget::itemDoubleClicked, this,
                       [this, &model] { User(model, [&model] { model.DoubleClick(); }); });
      w = list;
      break;
    }
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(parent);
      option->setAutoExclusive(false);  // the model switches the others off
      auto& model = static_cast<OptionButton&>(c);
      QObject::connect(option, &QRadioButton::clicked, this,
                       [this, &model] { User(model, [&model] { model.SetValue(true); }); });
      w = option;
      break;
    }
    case ControlKind::CheckBox: {
      auto* check = new QCheckBox(parent);
      auto& model = static_cast<CheckBox&>(c);
      QObject::connect(check, &QCheckBox::clicked, this,
                       [this, &model](bool on) { User(model, [&model, on] { model.SetValue(on ? 1 : 0); }); });
      w = check;
      break;
    }
    case ControlKind::Image:
    case ControlKind::PictureBox: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      w = picture;
      break;
    }
    case ControlKind::Shape: {
      auto* shape = new QFrame(parent);
      shape->setFrameShape(QFrame::Box);
      shape->setAttribute(Qt::WA_TransparentForMouseEvents);
      w = shape;
      break;
    }
    case ControlKind::WebBrowser:
      w = new WebView(parent);
      break;
  }
  w->setGeometry(c.geometry.left, c.geometry.top, c.geometry.width, c.geometry.height);
  QFont f = font();
  f.setBold(c.fontBold);
  w->setFont(f);  // set, not inherited: a bold frame keeps its controls plain
  SetColour(w, c.backColor);
  if (c.Kind() == ControlKind::Shape) w->lower();
  auto view = std::make_unique<ControlView>(*this, c, w);
  c.view = view.get();
  ControlView* v = view.get();
  views_[&c] = std::move(view);
  v->Sync();
  return w;
}

void ControlView::Sync() {
  QSignalBlocker block(widget);
  Control& c = *control;
  widget->setVisible(c.Visible());
  widget->setEnabled(c.Enabled());
  switch (c.Kind()) {
    case ControlKind::Label:
      static_cast<QLabel*>(widget)->setText(Q(LabelText(static_cast<Label&>(c).Caption())));
      break;
    case ControlKind::Frame:
      static_cast<QGroupBox*>(widget)->setTitle(Q(static_cast<Frame&>(c).Caption()));
      break;
    case ControlKind::CommandButton:
      static_cast<QPushButton*>(widget)->setText(Q(static_cast<CommandButton&>(c).Caption()));
      break;
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(c);
      if (auto* edit = dynamic_cast<QPlainTextEdit*>(widget)) {
        if (EditText(*edit) != box.Text()) {
          const QString text = Q(FromCrLf(box.Text()));
          ChooseWrap(*edit, text);
          edit->setPlainText(text);
        }
      } else if (auto* line = dynamic_cast<QLineEdit*>(widget)) {
        if (line->text().toStdString() != box.Text()) line->setText(Q(box.Text()));
      }
      break;
    }
    case ControlKind::ListBox: {
      // The items follow through ItemsChanged; here only the selection.
      auto& list = static_cast<ListBox&>(c);
      auto* w = static_cast<QListWidget*>(widget);
      if (list.ListIndex() < 0) {
        w->clearSelection();
        w->setCurrentItem(nullptr);
      } else if (w->currentRow() != list.ListIndex()) {
        w->setCurrentRow(list.ListIndex());
      }
      break;
    }
    case ControlKind::OptionButton: {
      auto& option = static_cast<OptionButton&>(c);
      auto* w = static_cast<QRadioButton*>(widget);
      w->setText(Q(option.Caption()));
      w->setChecked(option.Value());
      break;
    }
    case ControlKind::CheckBox: {
      auto& check = static_cast<CheckBox&>(c);
      auto* w = static_cast<QCheckBox*>(widget);
      w->setText(Q(check.Caption()));
      w->setChecked(check.Value() == 1);
      break;
    }
    case ControlKind::Image:
    case ControlKind::PictureBox:
      static_cast<QLabel*>(widget)->setPixmap(
          InArea(AssetPixmap(static_cast<Image&>(c).Picture()), QSize(c.geometry.width, c.geometry.height)));
      break;
    case ControlKind::WebBrowser: {
      auto* web = static_cast<WebView*>(widget);
      const std::string& url = static_cast<WebBrowser&>(c).LocationURL();
      if (!url.empty() && web->property("asked").toString().toStdString() != url) {
        web->setProperty("asked", Q(url));
        web->Navigate(Q(url));
      }
      break;
    }
    default:
      break;
  }
}

void ControlView::ItemsChanged(int first, int removed, int added) {
  if (!control) return;
  auto* w = static_cast<QListWidget*>(widget);
  {
    QSignalBlocker block(w);
    if (removed == w->count()) {
      w->clear();
    } else {
      for (int i = 0; i < removed; ++i) delete w->takeItem(first);
    }
    w->insertItems(first, Rows(static_cast<ListBox&>(*control), first, added));
  }
  Sync();  // the selection, which the change may have moved
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
