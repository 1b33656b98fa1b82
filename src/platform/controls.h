// The controls of the window model. Setting a value from code raises the
// control's event at once, before the setter returns, exactly as a user's
// action on the desktop does.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/form.h"

namespace tallow {

enum class ControlKind {
  TextBox,
  ListBox,
  OptionButton,
  CheckBox,
  CommandButton,
  Label,
  Frame,
  Image,
  PictureBox,
  Timer,
  FileListBox,
  Menu,
  WebBrowser,
  Shape
};

class Control {
 public:
  // container: the frame (or menu) that holds it; nullptr for the window itself.
  Control(Form& owner, ControlKind kind, std::string name, Control* container = nullptr);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& Owner() const { return owner_; }
  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Control* Container() const { return container_; }

  // ---- design ----
  Geometry geometry;  // relative to the container, pixels
  bool fontBold = false;
  std::optional<unsigned> backColor;  // 0xRRGGBB
  int tabIndex = 0;
  int index = -1;  // its index in a control array; -1: none

  // ---- run time ----
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  void SetFocus();

  View* view = nullptr;

 protected:
  void Changed();  // tells the view
  void ItemsChanged(int first, int removed, int added);

 private:
  Form& owner_;
  ControlKind kind_;
  std::string name_;
  Control* container_;
  bool visible_ = true;
  bool enabled_ = true;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, Control* container = nullptr, std::string caption = {});
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  std::function<void()> Click;
 private:
  std::string caption_;
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name, Control* container = nullptr, std::string caption = {});
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
 private:
  std::string caption_;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name, Control* container = nullptr, std::string caption = {});
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The user pressing it (or code): raises Click when enabled.
  void Press();
  std::function<void()> Click;
 private:
  std::string caption_;
};

class TextBox : public Control {
 public:
  TextBox(Form& owner, std::string name, Control* container = nullptr, std::string text = {});
  bool multiLine = false;   // multi-line boxes hold CR LF line breaks
  bool scrollBars = false;  // vertical scroll bar
  const std::string& Text() const { return text_; }
  // Raises Change when the text differs from what the box holds. A one-line
  // box never holds a line break: it holds text::OneLine of the text.
  void SetText(const std::string& text);
  std::function<void()> Change;
 private:
  std::string text_;
};

class ListBox : public Control {
 public:
  ListBox(Form& owner, std::string name, Control* container = nullptr);
  int ListCount() const { return static_cast<int>(items_.size()); }
  // Item text; an empty text for an index that names no item.
  std::string List(int index) const;
  void SetList(int index, const std::string& text);
  void AddItem(const std::string& text);
  void RemoveItem(int index);  // removing the selected item leaves none selected
  void Clear();
  int ListIndex() const { return listIndex_; }
  // Selects an item (-1: none) and raises Click, also when it was selected.
  // An index outside the list is ignored: nothing is selected or raised.
  void SetListIndex(int index);
  const std::vector<std::string>& Items() const { return items_; }
  // The user clicking an item: selects it and raises Click, also when it was
  // selected. A click on no item (the empty space below the items) does nothing.
  void UserClick(int index);
  // The user double-clicking the selected item.
  void DoubleClick();
  std::function<void()> Click;
  std::function<void()> DblClick;
 private:
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name, Control* container = nullptr, std::string caption = {});
  const std::string& Caption() const { return caption_; }
  bool Value() const { return value_; }
  // Switching it on switches off the options of the same container, then
  // raises Click. Switching it off raises nothing.
  void SetValue(bool on);
  std::function<void()> Click;
 private:
  std::string caption_;
  bool value_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, Control* container = nullptr, std::string caption = {});
  const std::string& Caption() const { return caption_; }
  int Value() const { return value_; }  // 0 unchecked, 1 checked
  void SetValue(int value);             // raises Click whenever the value changes
  std::function<void()> Click;
 private:
  std::string caption_;
  int value_ = 0;
};

class Image : public Control {
 public:
  Image(Form& owner, std::string name, Control* container = nullptr, std::string picture = {},
        ControlKind kind = ControlKind::Image);
  const std::string& Picture() const { return picture_; }  // asset name; empty: none
  void SetPicture(const std::string& picture);
 private:
  std::string picture_;
};

class PictureBox : public Image {
 public:
  PictureBox(Form& owner, std::string name, Control* container = nullptr, std::string picture = {});
};

class Shape : public Control {
 public:
  Shape(Form& owner, std::string name, Control* container = nullptr);
};

// Ticks on the event loop every Interval ms while enabled and its window is loaded.
class Timer : public Control {
 public:
  Timer(Form& owner, std::string name, int interval, bool enabled);
  ~Timer() override;
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  void SetEnabled(bool enabled) override;
  bool Running() const;
  // Called by the event loop when the interval has passed.
  void Fire();
  // Tells the event loop that Running() may have changed.
  void Reschedule();
  std::function<void()> OnTimer;
 private:
  int interval_;
};

// The ordinary files of a folder that match a pattern, sorted by name.
class FileListBox : public Control {
 public:
  FileListBox(Form& owner, std::string name, std::string pattern);
  const std::string& Path() const { return path_; }
  void SetPath(const std::string& path);  // re-lists the folder
  const std::string& Pattern() const { return pattern_; }
  void SetPattern(const std::string& pattern);
  void Refresh();
  int ListCount() const { return static_cast<int>(files_.size()); }
  std::string List(int index) const;  // empty for an index that names no file
  const std::vector<std::string>& Items() const { return files_; }
 private:
  std::string path_;
  std::string pattern_;
  std::vector<std::string> files_;
};

class Menu : public Control {
 public:
  Menu(Form& owner, std::string name, Menu* parent, std::string caption);
  const std::string& Caption() const { return caption_; }
  bool IsSeparator() const { return caption_ == "-"; }
  std::vector<Menu*> Items() const;  // the items whose container is this menu
  void Choose();                     // the user choosing it
  std::function<void()> Click;
 private:
  std::string caption_;
};

class WebBrowser : public Control {
 public:
  WebBrowser(Form& owner, std::string name, Control* container = nullptr);
  void Navigate2(const std::string& url);
  const std::string& LocationURL() const { return url_; }
 private:
  std::string url_;
};

// A control array (Option1(0), Option1(1), ...): controls of one name told
// apart by their index.
template <class T>
class ControlArray {
 public:
  T& operator[](int index) {
    for (auto& c : items_)
      if (c->index == index) return *c;
    throw std::out_of_range("no control of that index");
  }
  template <class... Args>
  T& Add(int index, Args&&... args) {
    items_.push_back(std::make_unique<T>(std::forward<Args>(args)...));
    items_.back()->index = index;
    return *items_.back();
  }
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace tallow
