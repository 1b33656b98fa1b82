// Templates ("*.txt") and information entries ("*.txx"): one subject line,
// CR LF, the message, CR LF. A window lists them in the order of its file
// list, so the readers take the names in that order.
#pragma once

#include <string>
#include <vector>

namespace tallow::stores {

// The subject of a template text: before the first CR; the whole text
// without one.
std::string SubjectOf(const std::string& text);
// The message of a template text: after the first LF; the whole text without
// one.
std::string MessageOf(const std::string& text);

struct Template {
  std::string subject;
  std::string message;
};

// The subjects of the files folder/name, one for each name, in the names'
// order: a file's text before its first CR; a file without any CR (an empty
// one too) gives its whole text; a file that cannot be read gives "".
std::vector<std::string> ReadSubjects(const std::string& folder, const std::vector<std::string>& names);

// The subject and message of the file folder/name, as SubjectOf and MessageOf
// take them; a file that has vanished or cannot be read (or the name "")
// reads as empty, and `why` (when given) gets the reason a file that is
// there could not be read.
Template ReadTemplate(const std::string& folder, const std::string& name, std::string* why = nullptr);

// The text a template or information file holds, before the writer's final
// CR LF: subject, CR LF, message.
std::string TemplateText(const std::string& subject, const std::string& message);

// The name of a new file: "data", N, extension (".txt" or ".txx"), where N is
// the count of files a file list of `pattern` would show in `folder` now,
// plus `plus`; when that name exists already, the next number that names no
// existing file. The window's own file list is not re-listed for it: its
// positions must keep naming the items of the window's visible list.
std::string NewFileName(const std::string& folder, const std::string& pattern, int plus, const std::string& extension);

}  // namespace tallow::stores
