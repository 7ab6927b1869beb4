// Names as Visual Basic 6 takes them: identifiers, and the words its parser keeps for itself.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vorlintex::modulecheck {

// A class, form or module name may have 40 characters; any other identifier 255.
inline constexpr size_t kMaxClassNameLength = 40;
inline constexpr size_t kMaxIdentifierLength = 255;

// An ASCII letter first, then ASCII letters, digits and "_", at most `max_length` of them.
bool IsIdentifier(std::string_view name, size_t max_length);

// A word the parser keeps for itself, in any letter case: statements (Dim, Select, Error...),
// the words inside them (As, Then, To, WithEvents...), operators, the built-in types, the
// literals (True, Nothing...), the conversion functions (CStr...) and Me. Built-in function
// names the parser does not keep (Len, Left, Mid...) are not among them.
bool IsReservedWord(std::string_view word);

inline bool IsIdentifierStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Asked of nearly every byte a module's code holds: one look in a table of the 256 bytes.
inline constexpr auto kIdentifierBytes = [] {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    bytes[c] =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  }
  return bytes;
}();
inline bool IsIdentifierChar(char c) { return kIdentifierBytes[static_cast<unsigned char>(c)]; }

}  // namespace vorlintex::modulecheck
