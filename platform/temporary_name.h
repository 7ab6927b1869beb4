// The names of files in the making: a file is written under one of these beside the name it is
// to take, and renamed to that name once whole. No name the run writes looks like one, and the
// folder listing leaves them out (they start with ".").
#pragma once

#include <string>
#include <string_view>

#include "contract/ascii.h"
#include "contract/status.h"

namespace vorlintex {

// A new name ".vorlintex-" + 16 random hexadecimal digits + ".tmp".
Status NewTemporaryName(std::string* name);

// True for a name of that form in any letter case. Header-only, so that the Windows platform,
// which makes its names its own way in the same form, knows them too.
inline bool IsTemporaryName(std::string_view name) {
  constexpr std::string_view kPrefix = ".vorlintex-";
  constexpr std::string_view kSuffix = ".tmp";
  constexpr size_t kDigits = 16;
  if (name.size() != kPrefix.size() + kDigits + kSuffix.size()) return false;
  if (!AsciiEqualIgnoringCase(name.substr(0, kPrefix.size()), kPrefix) ||
      !AsciiEqualIgnoringCase(name.substr(kPrefix.size() + kDigits), kSuffix)) {
    return false;
  }
  for (char c : name.substr(kPrefix.size(), kDigits)) {
    const char lower = AsciiLower(c);
    if (!((c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'f'))) return false;
  }
  return true;
}

}  // namespace vorlintex
