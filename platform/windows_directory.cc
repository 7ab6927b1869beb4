#include "platform/windows_directory.h"

#include <stdlib.h>

namespace vorlintex {

std::string WindowsDirectory() {
  const char* windir = getenv("WINDIR");
  if (windir == nullptr) return "C:\\WINDOWS";
  std::string directory = windir;
  // The reference lines add "\System32..." themselves.
  while (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) {
    directory.pop_back();
  }
  return directory;
}

}  // namespace vorlintex
