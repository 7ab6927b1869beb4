#include "platform/errno_status.h"

#include <cerrno>
#include <cstring>

namespace vorlintex {
namespace {

// strerror_r comes in two flavours (XSI returns int, GNU returns the text); both are
// thread-safe, unlike strerror. An XSI one that knows no text gets glibc's.
[[maybe_unused]] std::string ErrorText(int result, const char* buffer, int error) {
  return result == 0 ? buffer : "Unknown error " + std::to_string(error);
}
[[maybe_unused]] std::string ErrorText(const char* result, const char* /*buffer*/, int /*error*/) {
  return result;
}

}  // namespace

std::string ErrnoText(int error) {
  char buffer[256] = "";
  return ErrorText(strerror_r(error, buffer, sizeof buffer), buffer, error);
}

Status ErrnoStatus(const std::string& path, int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Status::NotFound(path, ErrnoText(error));
    case EEXIST:
      return Status::AlreadyExists(path, ErrnoText(error));
    case EINVAL:
      return Status::InvalidArgument(path, ErrnoText(error));
    default:
      return Status::IOError(path, ErrnoText(error));
  }
}

}  // namespace vorlintex
