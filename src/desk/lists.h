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
// text.
void OpenListMessage(const std::string& folder, const ListBox& list, const FileListBox& files, TextBox& subject,
                     TextBox& message);

// Adds the fields of settings.dat to `settings`, emptied first when clearFirst.
void ReFreshSettings(const std::string& folder, ListBox& settings, bool clearFirst);

// Empties `entries` and fills it from the address file at `path`; a missing
// or unreadable file, or the path "" of a book name that is not safe, gives
// no entries.
void LoadEntries(const std::string& path, ListBox& entries);

// Empties `items`, then, when folder/name.ext exists, appends each of its lines.
void LoadList(const std::string& folder, const std::string& ext, const std::string& name, ListBox& items);
// Writes the list's items, one per line, to folder/name.ext. False on failure.
bool SaveList(const std::string& folder, const std::string& ext, const std::string& name, const ListBox& items);

// The Default rule after loading the book list: item 0 becomes "Default"
// (appended when the list is empty). `selectItems` is the Send Email window's
// form: item 0 is selected first when the list holds more than one item, and
// again when the rule changed item 0 (each selection raises Click).
void ApplyDefaultRule(ListBox& books, bool selectItems);

}  // namespace tallow::desk
