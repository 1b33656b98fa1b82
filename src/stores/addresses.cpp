#include "stores/addresses.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/text.h"
#include "stores/files.h"

namespace tallow::stores {

namespace fs = std::filesystem;

std::string ContactEntry(const std::string& name, const std::string& address) { return name + ": " + address + "*"; }

char UnstorableContactCharacter(const std::string& name, const std::string& address) {
  if ((name + address).find('*') != std::string::npos) return '*';
  return name.find(':') == std::string::npos ? '\0' : ':';
}

std::vector<std::string> ParseAddressFile(const std::string& text, int limit, size_t* consumed) {
  std::vector<std::string> entries;
  size_t pos = 0;
  while (static_cast<int>(entries.size()) < limit) {
    const size_t star = text.find('*', pos);
    if (star == std::string::npos) break;
    entries.push_back(text.substr(pos, star + 1 - pos));
    // The two characters after the "*" (the line end) go, whatever they are.
    pos = std::min(star + 3, text.size());
    if (pos == text.size()) break;
  }
  if (consumed) *consumed = pos;
  return entries;
}

// Items with CR LF between them: the writer adds the last CR LF.
static std::string JoinLines(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += CRLF;
    text += items[i];
  }
  return text;
}

std::string AddressFileText(const std::vector<std::string>& entries) { return JoinLines(entries); }

// The entry after `start`, less its last character; empty when nothing is left.
static std::string CutAddress(const std::string& entry, size_t start) {
  if (entry.empty() || start >= entry.size() - 1) return {};
  return entry.substr(start, entry.size() - 1 - start);
}

std::string EntryAddress(const std::string& entry) {
  const size_t colon = entry.find(':');
  if (colon == std::string::npos) return entry;
  return CutAddress(entry, colon + 2);
}

std::string ToolbarAddress(const std::string& entry) {
  const size_t colon = entry.find(':');
  return CutAddress(entry, colon == std::string::npos ? 1 : colon + 2);
}

bool LooksLikeAddress(const std::string& text, size_t maxChars) {
  if (text.find('@') == std::string::npos) return false;
  return text::CharacterCount(text) <= maxChars;
}

// A control character in a folder name would reach every listing of the
// folder, a terminal's among them.
bool IsSafeBookName(const std::string& book) {
  if (book.empty() || book == "." || book == ".." || book.find('/') != std::string::npos) return false;
  const std::u32string chars = text::DecodeUtf8(book);
  return std::none_of(chars.begin(), chars.end(), text::IsControl);
}

// A book of an older books.lst (Windows-1252) has its folder named by the
// bytes of that file, and keeps it when the list is written in UTF-8 later.
static std::string FolderName(const std::string& folder, const std::string& book) {
  std::string older;
  if (!text::ToWindows1252(book, older) || older == book) return book;
  std::error_code ec;
  if (fs::exists(fs::symlink_status(JoinPath(folder, book), ec))) return book;
  if (fs::exists(fs::symlink_status(JoinPath(folder, older), ec))) return older;
  return book;
}

std::string BookFolder(const std::string& folder, const std::string& book) {
  if (!IsSafeBookName(book)) return {};
  std::string path = JoinPath(folder, FolderName(folder, book));
  // A link in the program folder could lead anywhere.
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) return {};
  return path;
}

std::string BookAddressFile(const std::string& folder, const std::string& book) {
  if (book.empty()) return RootAddressFile(folder);
  const std::string bookFolder = BookFolder(folder, book);
  return bookFolder.empty() ? std::string() : JoinPath(bookFolder, kAddressFile);
}

std::string RootAddressFile(const std::string& folder) { return JoinPath(folder, kAddressFile); }

std::optional<std::vector<std::string>> ReadAddressFile(const std::string& path) {
  std::string bytes;
  if (path.empty() || !ReadWholeFile(path, bytes)) return std::nullopt;
  return DecodeAll(ParseAddressFile(bytes), bytes);
}

// The file's bytes as it stands; a missing file is empty. False when it is
// there but cannot be read, so that no writer replaces what it could not see.
static bool ReadCurrent(const std::string& path, std::string& bytes) {
  if (ReadWholeFile(path, bytes)) return true;
  std::error_code ec;
  return !fs::exists(fs::symlink_status(path, ec));
}

static void DropFinalCrLf(std::string& text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, CRLF) == 0) text.resize(text.size() - 2);
}

// The file's bytes from `from` on as text, as a rewrite keeps them: each
// entry as a reader takes it. Of the two characters after each "*", which
// every reader drops, one that is not plain ASCII becomes the CR or LF the
// writer puts there: written in another encoding than the file's it could be
// more bytes than a reader drops, and the next entry would begin with the rest.
static std::string KeptTail(const std::string& bytes, size_t from, Encoding encoding) {
  std::string text;
  size_t pos = from;
  for (size_t star; pos < bytes.size() && (star = bytes.find('*', pos)) != std::string::npos;) {
    text += Decode(std::string_view(bytes).substr(pos, star + 1 - pos), encoding);
    pos = std::min(star + 3, bytes.size());
    for (size_t i = star + 1; i < pos; ++i)
      text += static_cast<unsigned char>(bytes[i]) < 0x80 ? bytes[i] : CRLF[i - star - 1];
  }
  return text + Decode(std::string_view(bytes).substr(pos), encoding);
}

bool WriteAddressFile(const std::string& path, const std::vector<std::string>& entries) {
  std::string current;
  if (path.empty() || !ReadCurrent(path, current)) return false;
  size_t consumed = 0;
  ParseAddressFile(current, kMaxEntries, &consumed);
  std::string rest = KeptTail(current, consumed, EncodingOf(current));
  std::string text = AddressFileText(entries);
  if (rest.find('*') != std::string::npos) {
    // Entries no reader could show: they stay, byte for byte.
    DropFinalCrLf(rest);
    text = entries.empty() ? rest : text + CRLF + rest;
  }
  return WriteWholeText(path, text);
}

bool AppendAddressEntry(const std::string& path, const std::string& entry) {
  std::string current;
  if (path.empty() || !ReadCurrent(path, current)) return false;
  // What follows the last "*" is never read as an entry; the new entry
  // starts its own line after it.
  const size_t lastStar = current.rfind('*');
  if (lastStar == std::string::npos) return WriteWholeText(path, entry);
  const std::string kept = Decode(std::string_view(current).substr(0, lastStar + 1), EncodingOf(current));
  return WriteWholeText(path, kept + CRLF + entry);
}

bool AddressFileFull(const std::string& path) {
  const auto entries = ReadAddressFile(path);
  return entries && entries->size() >= static_cast<size_t>(kMaxEntries);
}

void MakeFolder(const std::string& folder, const std::string& book) {
  const std::string path = BookFolder(folder, book);
  if (path.empty()) return;
  ::mkdir(path.c_str(), 0700);  // address books are personal
}

static std::string ListPath(const std::string& folder, const std::string& ext, const std::string& name) {
  return JoinPath(folder, name + "." + ext);
}

bool WriteListFile(const std::string& folder, const std::string& ext, const std::string& name,
                   const std::vector<std::string>& items) {
  return WriteWholeText(ListPath(folder, ext, name), JoinLines(items));
}

std::vector<std::string> ParseListFile(const std::string& text, int limit) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (static_cast<int>(lines.size()) < limit && pos < text.size()) {
    const size_t cr = text.find('\r', pos);
    if (cr == std::string::npos) break;
    lines.push_back(text.substr(pos, cr - pos));
    pos = cr + 2;  // the LF after the CR goes, whatever it is
  }
  return lines;
}

std::vector<std::string> ReadListFile(const std::string& folder, const std::string& ext, const std::string& name) {
  std::string bytes;
  if (!ReadWholeFile(ListPath(folder, ext, name), bytes)) return {};
  return DecodeAll(ParseListFile(bytes), bytes);
}

}  // namespace tallow::stores
