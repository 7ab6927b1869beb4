// Text into UTF-8 for the reports that declare it (JSON, HTML). Pages are Windows-1252 text,
// the ANSI code page of the sites and of Visual Basic 6; the program itself keeps them as bytes
// and converts only where a report is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlintex {

// The character of a Windows-1252 byte. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) are the control characters of the same number, as Windows and
// browsers read them.
char32_t Windows1252Character(unsigned char byte);

// The byte that carries `c` in Windows-1252; nothing when the code page has none.
std::optional<unsigned char> Windows1252Byte(char32_t c);

// Appends the UTF-8 bytes of the character `c` (at most U+10FFFF).
void AppendUtf8(char32_t c, std::string* out);

// Each byte of `text` read as Windows-1252, written as UTF-8. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same
// number, as Windows converts them.
std::string Windows1252ToUtf8(std::string_view text);

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

// A file name for a UTF-8 report: kept when it is UTF-8 already (as names on Linux are),
// otherwise read as Windows-1252.
std::string NameAsUtf8(std::string_view name);

}  // namespace vorlintex
