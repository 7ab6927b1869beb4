// The registry value that locates the compiler, read through the Win32 registry API.
#pragma once

#include <optional>
#include <string>

namespace vorlintex {

// The default value of HKEY_CLASSES_ROOT\`subkey` when it is a plain string (REG_SZ) that fits
// a buffer of 255 characters with its NUL; the text without that NUL. Nothing otherwise.
std::optional<std::string> Win32ClassesRootDefaultValue(const std::string& subkey);

}  // namespace vorlintex
