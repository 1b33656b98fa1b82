// How every data file is read and written: whole, at once. A write puts CR LF
// after its one text and replaces the file atomically (a temporary file in the
// same folder renamed over it), so a failed write leaves the old file whole.
#pragma once

#include <string>

namespace tallow::stores {

constexpr const char* CRLF = "\r\n";

// The whole content of the file, byte for byte. False when it cannot be opened
// or read (text is then empty).
bool ReadWholeFile(const std::string& path, std::string& text);

// Writes text followed by CR LF as the whole file. False on any failure; the
// old file, if any, is then unchanged, and `why` (when given) gets the reason
// in the system's words ("No space left on device").
bool WriteWholeText(const std::string& path, const std::string& text, std::string* why = nullptr);

// True when an ordinary file exists at the path: not a folder, not hidden
// (a name starting with "."); any failure counts as absent.
bool FileExists(const std::string& path);

// Deletes the file. False when it could not be deleted; `why` (when given)
// then gets the reason.
bool DeleteFile(const std::string& path, std::string* why = nullptr);

// A data file's path: the folder, "/" and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tallow::stores
