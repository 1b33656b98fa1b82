// The windows' controls filled from the data files, and a list written back:
// every window that shows a store calls these on its own controls. Controls
// set from code raise their events at once, so the order below is the order
// the windows' handlers see: each selection made here raises the list's
// Click, and each box whose text changes its Change, before the call goes on.
#pragma once

#include <string>

#include "platform/controls.h"

namespace tallow::desk {

// Re-lists `files` over `folder` and fills `list` with each file's subject
// (stores::ReadSubjects), so that position i of the list is file i of
// `files`. The list is left with no selection.
void LoadTemplate(const std::string& folder, FileListBox& files, ListBox& list);

// Opens the file of the list's selected item into the two boxes, the subject
// first (stores::ReadTemplate). With nothing selected the boxes keep their
// text. A file that is there but cannot be read empties them; `why` (when
// given) then gets the reason, and stays empty otherwise.
void OpenListMessage(const std::string& folder, const ListBox& list, const FileListBox& files, TextBox& subject,
                     TextBox& message, std::string* why = nullptr);
// What the user is told of a listed file that could not be read, for
// ReportFailure to give with its reason.
std::string FileNotRead(const std::string& name);

// Adds the fields of settings.dat to `settings`, emptied first when clearFirst.
void ReFreshSettings(const std::string& folder, ListBox& settings, bool clearFirst);

// Empties `entries` and fills it from the address file at `path`; a missing
// or unreadable file, or the path "" of a book name that is not safe, gives
// no entries, and `why` (when given) the reason, empty for a missing file.
void LoadEntries(const std::string& path, ListBox& entries, std::string* why = nullptr);

// Empties `items`, then, when folder/name.ext exists, appends each of its
// lines. A file that is there but cannot be read gives none, and `why` (when
// given) the reason, empty otherwise.
void LoadList(const std::string& folder, const std::string& ext, const std::string& name, ListBox& items,
              std::string* why = nullptr);
// Writes the list's items, one per line, to folder/name.ext. False on
// failure; `why` (when given) then gets the reason.
bool SaveList(const std::string& folder, const std::string& ext, const std::string& name, const ListBox& items,
              std::string* why = nullptr);

// The Default rule after loading the book list: item 0 becomes "Default"
// (appended when the list is empty). `selectItems` is the Send Email window's
// form: item 0 is selected first when the list holds more than one item, and
// again when the rule changed item 0 (each selection raises Click).
void ApplyDefaultRule(ListBox& books, bool selectItems);

}  // namespace tallow::desk
