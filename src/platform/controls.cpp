#include "platform/controls.h"

#include <algorithm>

#include "platform/file_list.h"

#include "platform/text.h"

namespace tallow {

// ---- Control ---------------------------------------------------------------
Control::Control(Form& owner, ControlKind kind, std::string name, Control* container)
    : owner_(owner), kind_(kind), name_(std::move(name)), container_(container) {
  owner_.controls_.push_back(this);
}

Control::~Control() {
  auto& list = owner_.controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Control::Changed() {
  if (view) view->Changed();
}

void Control::ItemsChanged(int first, int removed, int added) {
  if (view) view->ItemsChanged(first, removed, added);
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Changed();
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetFocus() {
  if (view) view->Focus();
}

// ---- simple controls -------------------------------------------------------
Label::Label(Form& owner, std::string name, Control* container, std::string caption)
    : Control(owner, ControlKind::Label, std::move(name), container), caption_(std::move(caption)) {}

void Label::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

Frame::Frame(Form& owner, std::string name, Control* container, std::string caption)
    : Control(owner, ControlKind::Frame, std::move(name), container), caption_(std::move(caption)) {}

void Frame::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

CommandButton::CommandButton(Form& owner, std::string name, Control* container, std::string caption)
    : Control(owner, ControlKind::CommandButton, std::move(name), container), caption_(std::move(caption)) {}

void CommandButton::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

void CommandButton::Press() {
  if (Enabled() && Click) Click();
}

// ---- TextBox ---------------------------------------------------------------
TextBox::TextBox(Form& owner, std::string name, Control* container, std::string text)
    : Control(owner, ControlKind::TextBox, std::move(name), container), text_(std::move(text)) {}

// Subjects, book names, contact names and addresses go from one-line boxes
// into files that keep each of them on one line.
void TextBox::SetText(const std::string& text) {
  const std::string held = multiLine ? text : text::OneLine(text);
  if (text_ == held) return;
  text_ = held;
  Changed();
  if (Change) Change();
}

// ---- ListBox ---------------------------------------------------------------
ListBox::ListBox(Form& owner, std::string name, Control* container)
    : Control(owner, ControlKind::ListBox, std::move(name), container) {}

std::string ListBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  return items_[static_cast<size_t>(index)];
}

void ListBox::SetList(int index, const std::string& text) {
  if (index < 0 || index >= ListCount()) return;
  items_[static_cast<size_t>(index)] = text;
  ItemsChanged(index, 1, 1);
}

void ListBox::AddItem(const std::string& text) {
  items_.push_back(text);
  ItemsChanged(ListCount() - 1, 0, 1);
}

void ListBox::RemoveItem(int index) {
  if (index < 0 || index >= ListCount()) return;
  items_.erase(items_.begin() + index);
  if (listIndex_ == index)
    listIndex_ = -1;
  else if (listIndex_ > index)
    --listIndex_;
  ItemsChanged(index, 1, 0);
}

void ListBox::Clear() {
  const int removed = ListCount();
  items_.clear();
  listIndex_ = -1;
  ItemsChanged(0, removed, 0);
}

void ListBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount()) return;
  listIndex_ = index;
  Changed();
  if (Click) Click();
}

void ListBox::UserClick(int index) {
  if (index >= 0 && index < ListCount()) SetListIndex(index);
}

void ListBox::DoubleClick() {
  if (DblClick) DblClick();
}

// ---- OptionButton / CheckBox -------------------------------------------------
OptionButton::OptionButton(Form& owner, std::string name, Control* container, std::string caption)
    : Control(owner, ControlKind::OptionButton, std::move(name), container), caption_(std::move(caption)) {}

void OptionButton::SetValue(bool on) {
  if (!on) {
    if (!value_) return;
    value_ = false;
    Changed();
    return;
  }
  if (value_) return;
  value_ = true;
  for (Control* c : Owner().Controls()) {
    if (c == this || c->Kind() != ControlKind::OptionButton || c->Container() != Container()) continue;
    auto* other = static_cast<OptionButton*>(c);
    if (other->value_) {
      other->value_ = false;
      other->Changed();
    }
  }
  Changed();
  if (Click) Click();
}

CheckBox::CheckBox(Form& owner, std::string name, Control* container, std::string caption)
    : Control(owner, ControlKind::CheckBox, std::move(name), container), caption_(std::move(caption)) {}

void CheckBox::SetValue(int value) {
  if (value_ == value) return;
  value_ = value;
  Changed();
  if (Click) Click();
}

// ---- pictures ----------------------------------------------------------------
Image::Image(Form& owner, std::string name, Control* container, std::string picture, ControlKind kind)
    : Control(owner, kind, std::move(name), container), picture_(std::move(picture)) {}

void Image::SetPicture(const std::string& picture) {
  if (picture_ == picture) return;
  picture_ = picture;
  Changed();
}

PictureBox::PictureBox(Form& owner, std::string name, Control* container, std::string picture)
    : Image(owner, std::move(name), container, std::move(picture), ControlKind::PictureBox) {}

Shape::Shape(Form& owner, std::string name, Control* container)
    : Control(owner, ControlKind::Shape, std::move(name), container) {}

// ---- Timer -------------------------------------------------------------------
Timer::Timer(Form& owner, std::string name, int interval, bool enabled)
    : Control(owner, ControlKind::Timer, std::move(name)), interval_(interval) {
  SetVisible(false);
  Control::SetEnabled(enabled);
}

Timer::~Timer() { Owner().svc().loop.TimerGone(*this); }

bool Timer::Running() const { return Enabled() && interval_ > 0 && Owner().IsLoaded(); }

void Timer::SetInterval(int ms) {
  if (interval_ == ms) return;
  interval_ = ms;
  Reschedule();
}

void Timer::SetEnabled(bool enabled) {
  if (Enabled() == enabled) return;
  Control::SetEnabled(enabled);
  Reschedule();
}

void Timer::Reschedule() { Owner().svc().loop.TimerChanged(*this); }

void Timer::Fire() {
  if (Running() && OnTimer) OnTimer();
}

// ---- FileListBox -------------------------------------------------------------
FileListBox::FileListBox(Form& owner, std::string name, std::string pattern)
    : Control(owner, ControlKind::FileListBox, std::move(name)), pattern_(std::move(pattern)) {
  SetVisible(false);
}

void FileListBox::SetPath(const std::string& path) {
  path_ = path;
  Refresh();
}

void FileListBox::SetPattern(const std::string& pattern) {
  pattern_ = pattern;
  Refresh();
}

void FileListBox::Refresh() {
  files_ = ListFiles(path_, pattern_);
  Changed();
}

std::string FileListBox::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  return files_[static_cast<size_t>(index)];
}

// ---- Menu / WebBrowser -------------------------------------------------------
Menu::Menu(Form& owner, std::string name, Menu* parent, std::string caption)
    : Control(owner, ControlKind::Menu, std::move(name), parent), caption_(std::move(caption)) {}

std::vector<Menu*> Menu::Items() const {
  std::vector<Menu*> items;
  for (Control* c : Owner().Controls())
    if (c->Kind() == ControlKind::Menu && c->Container() == this) items.push_back(static_cast<Menu*>(c));
  return items;
}

void Menu::Choose() {
  if (!IsSeparator() && Enabled() && Click) Click();
}

WebBrowser::WebBrowser(Form& owner, std::string name, Control* container)
    : Control(owner, ControlKind::WebBrowser, std::move(name), container) {}

void WebBrowser::Navigate2(const std::string& url) {
  url_ = url;
  Changed();
}

}  // namespace tallow
