#include "platform/form.h"

#include <algorithm>

#include "platform/controls.h"

namespace tallow {

Form::Form(Host& host, std::string name) : host_(host), name_(std::move(name)) {}

Form::~Form() {
  for (FormRef* ref : refs_) ref->form_ = nullptr;
}

void Form::Changed() {
  if (view) view->Changed();
}

void Form::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

void Form::Show() {
  visible_ = true;
  Changed();
  if (view) view->Raise();
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  Changed();
}

void Form::SetWindowState(int state) {
  if (windowState_ == state) return;
  windowState_ = state;
  Changed();
  Form_Resize();
  // A handler may drop a reference meanwhile.
  for (FormRef* ref : std::vector<FormRef*>(refs_))
    if (ref->Resize) ref->Resize();
}

void Form::RaiseUnload(int& cancel) {
  Form_Unload(cancel);
  for (FormRef* ref : std::vector<FormRef*>(refs_))
    if (!cancel && ref->Unload) ref->Unload(cancel);
}

FormRef::~FormRef() { *this = nullptr; }

FormRef& FormRef::operator=(Form* form) {
  if (form_ == form) return *this;
  if (form_) {
    auto& refs = form_->refs_;
    refs.erase(std::remove(refs.begin(), refs.end(), this), refs.end());
  }
  form_ = form;
  if (form_) form_->refs_.push_back(this);
  return *this;
}

void Form::SetTopMost(bool on) {
  if (topMost_ == on) return;
  topMost_ = on;
  Changed();
}

void Form::PopupMenu(Menu& menu) {
  if (view) view->Popup(menu);
}

void Form::SetLoaded(bool loaded) {
  if (loaded_ == loaded) return;
  loaded_ = loaded;
  for (Control* c : controls_)
    if (c->Kind() == ControlKind::Timer) static_cast<Timer*>(c)->Reschedule();
}

void MakeTopmost(Form& form) { form.SetTopMost(true); }

}  // namespace tallow
