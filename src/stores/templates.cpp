#include "stores/templates.h"

#include <filesystem>

#include "platform/file_list.h"
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
static std::string ReadListed(const std::string& folder, const std::string& name, std::string* why = nullptr) {
  std::string bytes;
  if (!name.empty()) ReadWholeFile(JoinPath(folder, name), bytes, why);
  return bytes;
}

std::vector<std::string> ReadSubjects(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<std::string> subjects;
  subjects.reserve(names.size());
  for (const std::string& name : names) {
    const std::string bytes = ReadListed(folder, name);
    subjects.push_back(Decode(SubjectOf(bytes), EncodingOf(bytes)));
  }
  return subjects;
}

Template ReadTemplate(const std::string& folder, const std::string& name, std::string* why) {
  if (why) why->clear();
  const std::string bytes = ReadListed(folder, name, why);
  const Encoding encoding = EncodingOf(bytes);
  return {Decode(SubjectOf(bytes), encoding), Decode(MessageOf(bytes), encoding)};
}

std::string TemplateText(const std::string& subject, const std::string& message) { return subject + "\r\n" + message; }

// A folder or anything else of that name would make the save fail, so it
// counts as taken too.
static bool NameTaken(const std::string& path) {
  std::error_code ec;
  const auto st = std::filesystem::symlink_status(path, ec);
  return !ec && std::filesystem::exists(st);
}

std::string NewFileName(const std::string& folder, const std::string& pattern, int plus, const std::string& extension) {
  long n = static_cast<long>(ListFiles(folder, pattern).size()) + plus;
  std::string name = "data" + std::to_string(n) + extension;
  while (NameTaken(JoinPath(folder, name))) name = "data" + std::to_string(++n) + extension;
  return name;
}

}  // namespace tallow::stores
