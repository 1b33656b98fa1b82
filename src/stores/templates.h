// Templates ("*.txt") and information entries ("*.txx"): one subject line,
// CR LF, the message, CR LF. Position i of a window's visible list is file i
// of the same window's file list.
#pragma once

#include <string>

#include "platform/controls.h"

namespace tallow::stores {

// The subject of a template text: before the first CR; the whole text
// without one.
std::string SubjectOf(const std::string& text);
// The message of a template text: after the first LF; the whole text without
// one.
std::string MessageOf(const std::string& text);

// Re-lists `files` over `folder` and fills `list` with each file's subject:
// its text before the first CR; a file without any CR (an empty one too) is
// listed with its whole text; a file that cannot be read is listed as empty.
// The list is left with no selection.
void LoadTemplate(const std::string& folder, FileListBox& files, ListBox& list);

// Opens the file of the list's selected item into the two boxes: the subject
// is the text before the first CR (the whole text without one), the message
// the text after the first LF (the whole text without one). With nothing
// selected the boxes keep their text; a file that has vanished or cannot be
// read reads as empty.
void OpenListMessage(const std::string& folder, ListBox& list, FileListBox& files, TextBox& subject,
                     TextBox& message);

// The text a template or information file holds, before the writer's final
// CR LF: subject, CR LF, message.
std::string TemplateText(const std::string& subject, const std::string& message);

// The name of a new file: "data", N, extension (".txt" or ".txx"), where N is
// the count of files that `files` would list after re-listing over `folder`,
// plus `plus`; when that name exists already, the next number that names no
// existing file. `files` itself is not re-listed: its positions must keep
// naming the items of the window's visible list.
std::string NewFileName(const std::string& folder, const FileListBox& files, int plus, const std::string& extension);

}  // namespace tallow::stores
