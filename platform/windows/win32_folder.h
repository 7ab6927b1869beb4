// What the system knows of folders: their identity on disk, and the Windows directory.
#pragma once

#include <optional>
#include <string>

namespace vorlintex {

// The volume serial number and file index of the folder at `path`, as one text; nothing when
// `path` names no existing folder.
std::optional<std::string> Win32FolderIdentity(const std::string& path);

// `path` with "\" separators and, when it exists, its parts spelled as on disk.
std::string Win32PathAsOnDisk(const std::string& path);

// What GetWindowsDirectoryA gives in a buffer of 256 characters; empty when it fails or the
// directory does not fit.
std::string Win32WindowsDirectory();

}  // namespace vorlintex
