#include "stores/templates.h"

#include <filesystem>

#include "stores/files.h"

namespace tallow::stores {

std::string SubjectOf(const std::string& text) {
  const size_t cr = text.find('\r');
  return cr == std::string::npos ? text : text.substr(0, cr);
}

std::string MessageOf(const std::string& text) {
  const size_t lf = text.find('\n');
  return lf == std::string::npos ? text : text.substr(lf + 1);
}

// The bytes of a listed file; one that vanished or cannot be read counts as empty.
static std::string ReadListed(const std::string& folder, const std::string& name) {
  std::string bytes;
  if (!name.empty()) ReadWholeFile(JoinPath(folder, name), bytes);
  return bytes;
}

void LoadTemplate(const std::string& folder, FileListBox& files, ListBox& list) {
  files.SetPath(folder);  // re-lists the folder
  list.Clear();
  const int n = files.ListCount();
  for (int i = 0; i < n; ++i) {
    const std::string bytes = ReadListed(folder, files.List(i));
    list.AddItem(Decode(SubjectOf(bytes), EncodingOf(bytes)));
  }
}

void OpenListMessage(const std::string& folder, ListBox& list, FileListBox& files, TextBox& subject,
                     TextBox& message) {
  const int k = list.ListIndex();
  if (k < 0) return;
  const std::string bytes = ReadListed(folder, files.List(k));
  const Encoding encoding = EncodingOf(bytes);
  subject.SetText(Decode(SubjectOf(bytes), encoding));
  message.SetText(Decode(MessageOf(bytes), encoding));
}

std::string TemplateText(const std::string& subject, const std::string& message) {
  return subject + "\r\n" + message;
}

// A folder or anything else of that name would make the save fail, so it
// counts as taken too.
static bool NameTaken(const std::string& path) {
  std::error_code ec;
  const auto st = std::filesystem::symlink_status(path, ec);
  return !ec && std::filesystem::exists(st);
}

std::string NewFileName(const std::string& folder, const FileListBox& files, int plus, const std::string& extension) {
  long n = static_cast<long>(ListFiles(folder, files.Pattern()).size()) + plus;
  std::string name = "data" + std::to_string(n) + extension;
  while (NameTaken(JoinPath(folder, name))) name = "data" + std::to_string(++n) + extension;
  return name;
}

}  // namespace tallow::stores
