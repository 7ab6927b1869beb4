// Letter case for text that is bytes: only the ASCII letters A-Z and a-z are folded; every
// other byte (UTF-8, Windows-1252, NUL) passes through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

inline void AsciiLowerInPlace(std::string* text) {
  for (char& c : *text) c = AsciiLower(c);
}

inline bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace vorlintex
