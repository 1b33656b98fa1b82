// Address books: entries "name: address*", each followed by CR LF in a file
// "address.dat"; one folder per book; the book names in "books.lst".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tallow::stores {

constexpr int kMaxEntries = 1001;
constexpr int kMaxListLines = 30001;
constexpr const char* kAddressFile = "address.dat";
// The book list, as the list files name it: name "books", extension "lst".
constexpr const char* kBookListName = "books";
constexpr const char* kBookListExt = "lst";
constexpr const char* kDefaultBook = "Default";

// ---- entries -----------------------------------------------------------------
// "name: address*"
std::string ContactEntry(const std::string& name, const std::string& address);

// The character of a contact's name or address that an address file cannot
// hold, or '\0' when it can hold both: "*" ends an entry, so a name or an
// address holding one would be stored as two entries, the second made up of
// whatever followed it. ":" in a name: the address is read from after the
// entry's first ":", so it would start with the rest of the name. Every save
// of a new contact asks this first.
char UnstorableContactCharacter(const std::string& name, const std::string& address);

// The entries of an address-file text: each up to and including its "*", the
// two characters after each "*" dropped whatever they are; at most `limit`.
// `consumed`, when given, receives how many characters of the text the
// entries read took, the two dropped after the last one included (the rest
// is what a rewrite must keep).
std::vector<std::string> ParseAddressFile(const std::string& text, int limit = kMaxEntries, size_t* consumed = nullptr);

// The file text of a list of entries, before the writer's final CR LF: every
// entry followed by CR LF, less the last CR LF.
std::string AddressFileText(const std::vector<std::string>& entries);

// The e-mail address of an entry as the Send Email window takes it: after the
// first ":" and one character, less the last character; the whole entry when
// it holds no ":"; empty when nothing is left.
std::string EntryAddress(const std::string& entry);
// As the template toolbar takes it: an entry without ":" loses its first and
// last characters; empty when nothing is left.
std::string ToolbarAddress(const std::string& entry);

// Whether a clipboard text is taken for an e-mail address: it holds "@" and
// is at most maxChars characters long (characters of UTF-8, not bytes).
bool LooksLikeAddress(const std::string& text, size_t maxChars);

// ---- paths -------------------------------------------------------------------
// A book name that names a folder directly inside the program folder: not
// empty, not "." or "..", no "/" and no control character (NUL among them).
bool IsSafeBookName(const std::string& book);
// folder/book, or "" when the name is not safe or the folder's path is a
// symbolic link (it could lead outside the program folder). The folder's name
// is the book name in UTF-8; when no such folder is there but one named by
// the name's Windows-1252 bytes is (a book of an older books.lst), that one.
std::string BookFolder(const std::string& folder, const std::string& book);
// folder/book/address.dat; folder/address.dat (the root file) for an empty
// name; "" for a name that is not safe.
std::string BookAddressFile(const std::string& folder, const std::string& book);
// folder/address.dat
std::string RootAddressFile(const std::string& folder);

// ---- reading and writing address files ---------------------------------------
// The file's entries, as text. Nothing (nullopt) when the file is missing or
// cannot be read, or the path is "" (a book name that is not safe); `why`
// (when given) then gets the reason, and stays empty for a missing file.
std::optional<std::vector<std::string>> ReadAddressFile(const std::string& path, std::string* why = nullptr);
// Rewrites the file from `entries`. When the file as it stands holds more
// than kMaxEntries entries, the part beyond the first kMaxEntries is kept
// after them, so that a rewrite from a list a reader filled loses nothing.
// False when it could not be written, when the file is there but cannot be
// read, or the path is "" (the old file is then whole); `why` (when given)
// then gets the reason.
bool WriteAddressFile(const std::string& path, const std::vector<std::string>& entries, std::string* why = nullptr);
// Appends one entry to the file as it stands now (a missing file counts as
// empty): the text up to its last "*", CR LF, the entry, CR LF. What follows
// the last "*" is never read as an entry and would glue itself to the new
// one, so it goes. False when it could not be read or written, or the path
// is "" (the old file is then whole); `why` (when given) then gets the reason.
bool AppendAddressEntry(const std::string& path, const std::string& entry, std::string* why = nullptr);
// True when the address file holds kMaxEntries entries already: one more
// would be written, but no list would ever show it.
bool AddressFileFull(const std::string& path);

// ---- list files ----------------------------------------------------------------
// Creates the book's folder folder/book, private to the user (0700). True
// when the folder is there now; `made` (when given) tells whether this call
// made it. False when it could not be made, `why` (when given) then gets the
// reason: the system's, or a name taken by a file or a link ("File exists"),
// or a name that is not safe (IsSafeBookName), which creates nothing.
bool MakeFolder(const std::string& folder, const std::string& book, std::string* why = nullptr, bool* made = nullptr);
// Removes the book's folder folder/book when it is empty, as MakeFolder made it.
void RemoveEmptyFolder(const std::string& folder, const std::string& book);
// Writes the items, one per line, to folder/name.ext. When the file as it
// stands holds more than kMaxListLines lines, what follows the first
// kMaxListLines is kept after the items byte for byte, as for address files.
// False on failure (the old file is then whole); `why` (when given) then
// gets the reason.
bool WriteListFile(const std::string& folder, const std::string& ext, const std::string& name,
                   const std::vector<std::string>& items, std::string* why = nullptr);
// The lines of a list-file text: each up to a CR, the one character after
// the CR dropped whatever it is; a last line ended by a bare CR is taken, a
// last line without CR is lost; at most `limit`. `consumed`, when given,
// receives how many characters of the text those lines took.
std::vector<std::string> ParseListFile(const std::string& text, int limit = kMaxListLines, size_t* consumed = nullptr);
// The lines of folder/name.ext (at most kMaxListLines; a last line ended by a
// bare CR is taken); none when the file does not exist or cannot be read,
// `why` (when given) then gets the reason, and stays empty for a missing file.
std::vector<std::string> ReadListFile(const std::string& folder, const std::string& ext, const std::string& name,
                                      std::string* why = nullptr);

}  // namespace tallow::stores
