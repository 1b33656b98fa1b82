#include "stores/addresses.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Why a book whose name gives no path (BookFolder) has no file.
static const char* const kNoFolderOfItsOwn = "Its name does not name a folder of its own in the program folder";

std::optional<std::vector<std::string>> ReadAddressFile(const std::string& path, std::string* why) {
  std::string bytes;
  if (path.empty()) {
    Fail(why, kNoFolderOfItsOwn);
    return std::nullopt;
  }
  if (!ReadWholeFile(path, bytes, why)) return std::nullopt;
  return DecodeAll(ParseAddressFile(bytes), bytes);
}

// The file's bytes as it stands, for a rewrite that keeps some of them; a
// missing file is empty. False when it is there but cannot be read: no text
// built from a failed read replaces a file.
static bool ReadCurrent(const std::string& path, std::string& bytes, std::string* why) {
  if (path.empty()) return Fail(why, kNoFolderOfItsOwn);
  std::string reason;
  if (ReadWholeFile(path, bytes, &reason) || reason.empty()) return true;
  return Fail(why, reason);
}

static void DropFinalCrLf(std::string& text) {
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, CRLF) == 0) text.resize(text.size() - 2);
}

// The file's bytes from `from` on as text, as a rewrite keeps them: each
// piece up to its `separator` as a reader takes it. Of the characters after
// each separator that every reader drops (as many as `dropped` holds), one
// that is not plain ASCII becomes the one the writer puts there: written in
// another encoding than the file's it could be more bytes than a reader
// drops, and the next piece would begin with the rest.
static std::string KeptTail(const std::string& bytes, size_t from, char separator, std::string_view dropped) {
  const Encoding encoding = EncodingOf(bytes);
  std::string text;
  size_t pos = from;
  for (size_t end; pos < bytes.size() && (end = bytes.find(separator, pos)) != std::string::npos;) {
    text += Decode(std::string_view(bytes).substr(pos, end + 1 - pos), encoding);
    pos = std::min(end + 1 + dropped.size(), bytes.size());
    for (size_t i = end + 1; i < pos; ++i)
      text += static_cast<unsigned char>(bytes[i]) < 0x80 ? bytes[i] : dropped[i - end - 1];
  }
  return text + Decode(std::string_view(bytes).substr(pos), encoding);
}

// The items one a line, then `kept` on lines of its own; the writer's final
// CR LF ends both.
static std::string WithKept(const std::vector<std::string>& items, std::string kept) {
  DropFinalCrLf(kept);
  return items.empty() ? kept : JoinLines(items) + CRLF + kept;
}

bool WriteAddressFile(const std::string& path, const std::vector<std::string>& entries, std::string* why) {
  std::string current;
  if (!ReadCurrent(path, current, why)) return false;
  size_t consumed = 0;
  ParseAddressFile(current, kMaxEntries, &consumed);
  const std::string rest = KeptTail(current, consumed, '*', CRLF);
  // Entries no reader could show: they stay, byte for byte.
  const bool keep = rest.find('*') != std::string::npos;
  return WriteWholeText(path, keep ? WithKept(entries, rest) : AddressFileText(entries), why);
}

bool AppendAddressEntry(const std::string& path, const std::string& entry, std::string* why) {
  std::string current;
  if (!ReadCurrent(path, current, why)) return false;
  // What follows the last "*" is never read as an entry; the new entry
  // starts its own line after it.
  const size_t lastStar = current.rfind('*');
  if (lastStar == std::string::npos) return WriteWholeText(path, entry, why);
  const std::string kept = Decode(std::string_view(current).substr(0, lastStar + 1), EncodingOf(current));
  return WriteWholeText(path, kept + CRLF + entry, why);
}

bool AddressFileFull(const std::string& path) {
  const auto entries = ReadAddressFile(path);
  return entries && entries->size() >= static_cast<size_t>(kMaxEntries);
}

bool MakeFolder(const std::string& folder, const std::string& book, std::string* why, bool* made) {
  if (made) *made = false;
  if (!IsSafeBookName(book)) return Fail(why, kNoFolderOfItsOwn);
  const std::string path = BookFolder(folder, book);
  if (path.empty()) return Fail(why, std::strerror(EEXIST));  // a link has the name
  if (::mkdir(path.c_str(), 0700) == 0) {                     // address books are personal
    if (made) *made = true;
    return true;
  }
  const int err = errno;
  struct stat st {};
  if (err == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  return Fail(why, std::strerror(err));
}

void RemoveEmptyFolder(const std::string& folder, const std::string& book) {
  const std::string path = BookFolder(folder, book);
  if (!path.empty()) ::rmdir(path.c_str());
}

static std::string ListPath(const std::string& folder, const std::string& ext, const std::string& name) {
  return JoinPath(folder, name + "." + ext);
}

bool WriteListFile(const std::string& folder, const std::string& ext, const std::string& name,
                   const std::vector<std::string>& items, std::string* why) {
  const std::string path = ListPath(folder, ext, name);
  std::string current;
  if (!ReadCurrent(path, current, why)) return false;
  size_t consumed = 0;
  const size_t read = ParseListFile(current, kMaxListLines, &consumed).size();
  // Lines no reader could show: they stay, byte for byte.
  const bool keep = read == static_cast<size_t>(kMaxListLines) && consumed < current.size();
  return WriteWholeText(path, keep ? WithKept(items, KeptTail(current, consumed, '\r', "\n")) : JoinLines(items), why);
}

std::vector<std::string> ParseListFile(const std::string& text, int limit, size_t* consumed) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (static_cast<int>(lines.size()) < limit && pos < text.size()) {
    const size_t cr = text.find('\r', pos);
    if (cr == std::string::npos) break;
    lines.push_back(text.substr(pos, cr - pos));
    pos = cr + 2;  // the LF after the CR goes, whatever it is
  }
  if (consumed) *consumed = std::min(pos, text.size());
  return lines;
}

std::vector<std::string> ReadListFile(const std::string& folder, const std::string& ext, const std::string& name,
                                      std::string* why) {
  std::string bytes;
  if (!ReadWholeFile(ListPath(folder, ext, name), bytes, why)) return {};
  return DecodeAll(ParseListFile(bytes), bytes);
}

}  // namespace tallow::stores
