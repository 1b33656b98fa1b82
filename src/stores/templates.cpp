#include "stores/templates.h"

namespace tallow::stores {

void LoadTemplate(const std::string&, FileListBox&, ListBox&) {}
void OpenListMessage(const std::string&, ListBox&, FileListBox&, TextBox&, TextBox&) {}
std::string TemplateText(const std::string& subject, const std::string& message) {
  return subject + "\r\n" + message;
}
std::string NewFileName(const std::string&, FileListBox&, int, const std::string&) { return {}; }

}  // namespace tallow::stores
