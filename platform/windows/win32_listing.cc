#include "platform/windows/win32_listing.h"

#include <windows.h>

#include "platform/wildcard.h"
#include "platform/windows/win32_status.h"

namespace vorlintex {
namespace {

enum class Wanted { kFiles, kFolders };

bool Kept(const WIN32_FIND_DATAA& entry, Wanted wanted) {
  const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (wanted == Wanted::kFiles) return !folder;
  return folder && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

Status List(const std::string& pattern, Wanted wanted, std::vector<std::string>* names) {
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
    if (!Kept(entry, wanted)) continue;
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

}  // namespace

Status ListWin32Folder(const std::string& pattern, std::vector<std::string>* names) {
  return List(pattern, Wanted::kFiles, names);
}

Status ListWin32Subfolders(const std::string& folder, std::vector<std::string>* names) {
  return List(folder + "\\*", Wanted::kFolders, names);
}

}  // namespace vorlintex
