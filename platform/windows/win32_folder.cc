#include "platform/windows/win32_folder.h"

#include <windows.h>

namespace vorlintex {

std::optional<std::string> Win32FolderIdentity(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
  // Backup semantics are what lets CreateFile open a folder; no access is asked for.
  HANDLE folder =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  bool known = GetFileInformationByHandle(folder, &info);
  CloseHandle(folder);
  if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
  return std::to_string(info.dwVolumeSerialNumber) + ":" +
         std::to_string((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                        info.nFileIndexLow);
}

std::string Win32PathAsOnDisk(const std::string& path) {
  std::string shown = path;
  for (char& c : shown) {
    if (c == '/') c = '\\';
  }
  if (shown.empty() || shown.find('\0') != std::string::npos) return shown;
  // The long form of an existing path takes each part's spelling from its folder's entry.
  char buffer[MAX_PATH];
  DWORD length = GetLongPathNameA(shown.c_str(), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return shown;
  return std::string(buffer, length);
}

std::string Win32WindowsDirectory() {
  char buffer[256];
  UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return "";
  return std::string(buffer, length);
}

}  // namespace vorlintex
