#include "platform/windows/win32_listing.h"

#include <windows.h>

#include "platform/wildcard.h"
#include "platform/windows/win32_status.h"

namespace vorlintex {

Status ListWin32Folder(const std::string& pattern, std::vector<std::string>* names) {
  const ListingPattern split = SplitListingPattern(pattern);
  names->clear();
  if (split.folder.find('\0') != std::string::npos) return NulInPathStatus(split.folder);
  // The pattern up to its name, separator kept: "\\*.asp" stays the drive's root.
  const std::string everything = pattern.substr(0, pattern.size() - split.name.size()) + "*";
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA(everything.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // Only a folder without even "." and ".." (a drive's root) lists nothing this way.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return Status::OK();
    return Win32Status(split.folder, error);
  }
  do {
    const std::string_view name = entry.cFileName;
    if (name.empty() || name.front() == '.') continue;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (MatchesWildcard(split.name, name)) names->emplace_back(name);
  } while (FindNextFileA(find, &entry));
  DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    names->clear();
    return Win32Status(split.folder, error);
  }
  SortAsWindowsListing(names);
  return Status::OK();
}

}  // namespace vorlintex
