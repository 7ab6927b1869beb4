// The registry on POSIX: the one a Wine prefix keeps in its text files. HKEY_CLASSES_ROOT is
// read from the key "Software\Classes" of the prefix's system.reg (HKEY_LOCAL_MACHINE).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlintex {

// The default value ("@=") of the key "Software\Classes\`subkey`" in the text of a Wine
// system.reg, with the file's escapes undone. Key names are compared without regard to ASCII
// case. Nothing when the key or its default value is missing, or when the value is not a plain
// string ("str(2):", "hex:", "dword:" and the like). Characters that the file writes as escapes
// above 0x7F come back in UTF-8; bytes written as they are come back as they are.
std::optional<std::string> FindClassesRootDefaultValue(std::string_view system_reg_text,
                                                       std::string_view subkey);

// The system.reg of the current Wine prefix: "$WINEPREFIX/system.reg", or
// "$HOME/.wine/system.reg" when WINEPREFIX is unset or empty; nothing when neither is set.
std::optional<std::string> WineSystemRegistryPath();

// FindClassesRootDefaultValue on the current prefix's system.reg; nothing when there is no
// prefix or the file cannot be read.
std::optional<std::string> WineClassesRootDefaultValue(const std::string& subkey);

}  // namespace vorlintex
