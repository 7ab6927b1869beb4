#include "platform/windows/win32_status.h"

#include <windows.h>

namespace vorlintex {
namespace {

std::string SystemText(DWORD error) {
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' ||
                        buffer[length - 1] == ' ' || buffer[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "Windows error " + std::to_string(error);
  return std::string(buffer, length);
}

}  // namespace

Status Win32Status(const std::string& path, unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
    case ERROR_BAD_NETPATH:
      return Status::NotFound(path, "No such file or directory");
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return Status::AlreadyExists(path, "File exists");
    case ERROR_ACCESS_DENIED:
      return Status::IOError(path, "Permission denied");
    case ERROR_INVALID_HANDLE:
      return BadHandleStatus(path);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Status::IOError(path, "No space left on device");
    default:
      return Status::IOError(path, SystemText(error));
  }
}

Status BadHandleStatus(const std::string& path) {
  return Status::IOError(path, "Bad file descriptor");
}

Status NulInPathStatus(const std::string& path) {
  return Status::InvalidArgument(path, "Invalid argument");
}

}  // namespace vorlintex
