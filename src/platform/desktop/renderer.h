// Draws every loaded window of the model as a Qt top-level window with its
// controls at their design geometry, and keeps both in step: model changes
// are applied with the widgets' signals blocked, user actions call the model.
#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "platform/desktop/dispatch.h"
#include "platform/form.h"

namespace tallow::desktop {

class FormWidget;

class Renderer : public WindowSystem {
 public:
  explicit Renderer(Dispatcher& dispatch) : dispatch_(dispatch) {}
  ~Renderer() override;
  void Attach(Form& form) override;
  void Detach(Form& form) override;
  std::string LoadPicture(const std::string& path) override;

  bool IsAttached(const Form* form) const { return forms_.count(form) > 0; }
  // The widget drawing a window or a control; nullptr when there is none
  // (timers, file lists and menus have no widget).
  QWidget* WidgetOf(const Form& form) const;
  QWidget* WidgetOf(const Control& control) const;

 private:
  Dispatcher& dispatch_;
  std::map<const Form*, FormWidget*> forms_;
};

// Caption conversions: a label shows "&&" as "&" and drops a single "&";
// multi-line boxes hold CR LF, their widget LF.
std::string LabelText(const std::string& caption);
std::string ToCrLf(const std::string& text);
std::string FromCrLf(const std::string& text);

}  // namespace tallow::desktop
