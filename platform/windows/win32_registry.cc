#include "platform/windows/win32_registry.h"

#include <windows.h>

namespace vorlintex {
namespace {

// The buffer the generator's cutting rule is made for (generator/build_script.cc): a longer
// value is not read at all.
constexpr DWORD kValueBufferSize = 255;

}  // namespace

std::optional<std::string> Win32ClassesRootDefaultValue(const std::string& subkey) {
  if (subkey.find('\0') != std::string::npos) return std::nullopt;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char buffer[kValueBufferSize];
  DWORD size = sizeof buffer;
  DWORD type = REG_NONE;
  LONG read =
      RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ || size > sizeof buffer) return std::nullopt;
  std::string text(buffer, size);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace vorlintex
