// How every data file is read and written: whole, at once. A write puts CR LF
// after its one text and replaces the file atomically (a temporary file in the
// same folder renamed over it), so a failed write leaves the old file whole.
#pragma once

#include <functional>
#include <string>

namespace tallow::stores {

constexpr const char* CRLF = "\r\n";

// The whole content of the file, byte for byte. False when it cannot be opened
// or read (text is then empty).
bool ReadWholeFile(const std::string& path, std::string& text);

// Writes text followed by CR LF as the whole file, through a hidden temporary
// file renamed over it, and syncs the file and its folder: once it returns
// true the new text survives a crash or a power cut. False on any failure;
// the old file, if any, is then unchanged (unless only the folder's sync
// failed: the new text is then in place but may not be on disk).
bool WriteWholeText(const std::string& path, const std::string& text);

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

// Deletes the file. False when it could not be deleted.
bool DeleteFile(const std::string& path);

// A data file's path: the folder, "/" and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace tallow::stores
