#include "desk/lists.h"

#include <vector>

#include "stores/addresses.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace tallow::desk {

static void AddItems(ListBox& list, const std::vector<std::string>& items) {
  for (const std::string& item : items) list.AddItem(item);
}

void LoadTemplate(const std::string& folder, FileListBox& files, ListBox& list) {
  files.SetPath(folder);  // re-lists the folder
  list.Clear();
  AddItems(list, stores::ReadSubjects(folder, files.Items()));
}

void OpenListMessage(const std::string& folder, const ListBox& list, const FileListBox& files, TextBox& subject,
                     TextBox& message, std::string* why) {
  const int k = list.ListIndex();
  if (k < 0) return;
  const stores::Template opened = stores::ReadTemplate(folder, files.List(k), why);
  subject.SetText(opened.subject);
  message.SetText(opened.message);
}

std::string FileNotRead(const std::string& name) { return "The file \"" + name + "\" could not be read"; }

void ReFreshSettings(const std::string& folder, ListBox& settings, bool clearFirst) {
  if (clearFirst) settings.Clear();
  AddItems(settings, stores::ReadSettings(folder));
}

void LoadEntries(const std::string& path, ListBox& entries, std::string* why) {
  entries.Clear();
  if (auto read = stores::ReadAddressFile(path, why)) AddItems(entries, *read);
}

void LoadList(const std::string& folder, const std::string& ext, const std::string& name, ListBox& items,
              std::string* why) {
  items.Clear();
  AddItems(items, stores::ReadListFile(folder, ext, name, why));
}

bool SaveList(const std::string& folder, const std::string& ext, const std::string& name, const ListBox& items,
              std::string* why) {
  return stores::WriteListFile(folder, ext, name, items.Items(), why);
}

void ApplyDefaultRule(ListBox& books, bool selectItems) {
  if (selectItems && books.ListCount() > 1) books.SetListIndex(0);
  if (books.ListCount() > 0 && books.List(0) == stores::kDefaultBook) return;
  if (books.ListCount() == 0) books.AddItem(stores::kDefaultBook);
  books.SetList(0, stores::kDefaultBook);
  if (selectItems) books.SetListIndex(0);
}

}  // namespace tallow::desk
