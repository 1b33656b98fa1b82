#include "program.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/dispatch.h"
#include "stores/leftovers.h"

namespace tallow {

Window::Window(Program& app, std::string name) : Form(app, std::move(name)), app(app) {}

SlotBase::SlotBase(Program& app) : app_(app) { app.slots_.push_back(this); }

SlotBase::~SlotBase() {
  if (form_) {
    form_->SetLoaded(false);
    app_.services_.windows.Detach(*form_);
    form_.reset();
  }
  auto& slots = app_.slots_;
  slots.erase(std::remove(slots.begin(), slots.end(), this), slots.end());
}

Form& SlotBase::LoadWith(std::unique_ptr<Form> fresh) {
  form_ = std::move(fresh);
  Form& form = *form_;
  app_.services_.windows.Attach(form);
  form.Form_Load();
  // A window may unload itself from its own load; it then stays unloaded.
  if (form_.get() == &form) form.SetLoaded(true);
  return form;
}

Program::Program(Services services) : services_(services) {}

// The windows go with their slots, in reverse order; none of their handlers runs then.
Program::~Program() = default;

void Program::UnloadForm(Form& form, int unloadMode) {
  auto owns = [&](SlotBase* s) { return s->form_.get() == &form; };
  if (std::none_of(slots_.begin(), slots_.end(), owns)) return;  // not loaded
  int cancel = 0;
  form.Form_QueryUnload(cancel, unloadMode);
  if (cancel) return;
  form.RaiseUnload(cancel);
  if (cancel) return;
  auto it = std::find_if(slots_.begin(), slots_.end(), owns);
  if (it == slots_.end()) return;  // a handler unloaded it already
  form.SetLoaded(false);
  services_.windows.Detach(form);
  // Destroyed once the outermost call has returned: its caller may be one of its handlers.
  services_.dispatch.Defer([retired = std::shared_ptr<Form>(std::move((*it)->form_))]() mutable { retired.reset(); });
}

void Program::Start() {
  stores::RemoveLeftoverSaves(services_.env.ProgramFolder(), services_.env.CurrentDirectory());
  services_.dispatch([this] { Shift(); });
}

void Program::End() {
  if (auto* notes = QuickNotes.get(); notes && !notes->SaveIt()) return;
  services_.loop.EndProcess();
}

std::vector<Form*> Program::LoadedForms() const {
  std::vector<Form*> forms;
  for (SlotBase* s : slots_)
    if (s->form_) forms.push_back(s->form_.get());
  return forms;
}

int Program::MsgBox(const std::string& prompt, MsgButtons buttons, MsgIcon icon, const std::string& title) {
  return services_.messages.Show(prompt, buttons, icon, title);
}

}  // namespace tallow
