#include "platform/windows/win32_files_in_the_making.h"

#include <windows.h>

#include "platform/temporary_name.h"
#include "platform/windows/win32_status.h"

namespace vorlintex {

Status RemoveWin32FilesInTheMaking(const std::string& path, size_t* removed) {
  *removed = 0;
  if (path.find('\0') != std::string::npos) return NulInPathStatus(path);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Win32Status(path, GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Win32Status(path, ERROR_DIRECTORY);
  std::string folder = path;
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + ".vorlintex-*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? Status::OK() : Win32Status(path, error);
  }
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !IsTemporaryName(found.cFileName)) {
      continue;
    }
    // Shared with nobody: the open fails while any program has the file open, the writer of a
    // file still in the making included; once open, closing it removes it.
    HANDLE file = CreateFileA((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    CloseHandle(file);
    ++*removed;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return Status::OK();
}

}  // namespace vorlintex
