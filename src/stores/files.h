// How every data file is read and written: whole, at once. A write puts CR LF
// after its one text and replaces the file atomically (a temporary file in the
// same folder renamed over it), so a failed write leaves the old file whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::stores {

constexpr const char* CRLF = "\r\n";
// The notes file: the note text followed by CR LF. Opened by this bare name,
// so it lies in the current directory, not in the program folder.
constexpr const char* kNotesFile = "data.txt";

// Data files hold UTF-8; a file that is not valid UTF-8 is an older one, in
// the 8-bit code page Windows-1252. A reader splits a file's bytes by its
// format's rules (each byte one character, as the formats were made for) and
// turns each piece into text by the encoding of the whole file (a piece of a
// UTF-8 file cut inside a character as Windows-1252, so that text is always
// UTF-8).
enum class Encoding { Utf8, Windows1252 };
Encoding EncodingOf(std::string_view bytes);
std::string Decode(std::string_view piece, Encoding encoding);
// The pieces a reader split from the file's `bytes`, each as text.
std::vector<std::string> DecodeAll(std::vector<std::string> pieces, std::string_view bytes);

// The largest data file the program reads or writes: 8 MB. The largest file
// the program itself makes is a full books.lst, 30,001 book names each as
// long as a folder name can be (255 bytes): 7.7 MB; templates, entries and
// notes are typed by hand and far smaller. A larger file is one no window
// could hold: it reads as unreadable, so nothing replaces it either.
constexpr size_t kMaxDataFileBytes = size_t{8} << 20;

// Which file a data file's path names. A link is followed only when it is
// the running user's own and leads to a regular file of the user's own, as a
// chain of at most a few links; any other link is not followed, and the file
// reads as unreadable. Checks are made on the file that was opened, never on
// a path looked up before.

// The whole content of the file, byte for byte. False when it is missing or
// cannot be read: a read error, no permission, not a regular file, over
// kMaxDataFileBytes (never read whole), a link not followed; text is then
// empty and `why` (when given) gets the reason in the system's words, or
// stays empty when there is simply no such file.
bool ReadWholeFile(const std::string& path, std::string& text, std::string* why = nullptr);

// Writes text followed by CR LF as the whole file, through a hidden temporary
// file renamed over it, and syncs the file and its folder: once it returns
// true the new text survives a crash or a power cut. False on any failure;
// the old file, if any, is then unchanged (unless only the folder's sync
// failed: the new text is then in place but may not be on disk), and `why`
// (when given) gets the reason in the system's words ("No space left on
// device").
// A file that is there but could not be read (see ReadWholeFile), and one
// whose owner has no write permission (read-only, also for root, as an editor
// takes it), is never replaced: the write is refused with that reason. So is
// a text that would make the file larger than kMaxDataFileBytes. A new file
// is private to the user (0600); a file that exists keeps its mode. Through a
// link that is followed, the file it leads to is replaced and the link stays.
// The writer learns the encoding from the file it replaces: the text goes in
// Windows-1252 when that file is in Windows-1252, every character of the text
// has a place in it, and the bytes do not read back as other UTF-8 text; in
// UTF-8 otherwise (a new file, a UTF-8 file, a character the code page
// lacks). Bytes of an older file that the text did not change so stay as
// they were.
bool WriteWholeText(const std::string& path, const std::string& text, std::string* why = nullptr);

// False, with `why` (when given) set to the reason: how a store function
// fails.
bool Fail(std::string* why, const std::string& reason);

// The name of the data file whose write a hidden temporary file of that
// name belongs to; "" when the name is not one of WriteWholeText's.
std::string TemporaryTarget(const std::string& name);

// Deletes the temporary files that writes killed half way left in the folder
// (not in its subfolders), those of the data files for which isDataFile
// holds only; links and anything else are left alone.
void RemoveTemporaries(const std::string& folder, const std::function<bool(const std::string&)>& isDataFile);

// True when an ordinary file exists at the path: not a folder, not hidden
// (a name starting with "."); any failure counts as absent.
bool FileExists(const std::string& path);

// Deletes the file. False when it could not be deleted; `why` (when given)
// then gets the reason.
bool DeleteFile(const std::string& path, std::string* why = nullptr);

// A data file's path: the folder, "/" and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tallow::stores
