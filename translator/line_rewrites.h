// The forms in which the passes look at a line read from a page or an include file. Lines
// are bytes: every byte other than the space and the tab stays as it is. The keyword tests
// made on a line's test copy are made on the line itself (translator/byte_search.h).
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::translator {

// The trimmed line: leading spaces (code 32 only) removed; tabs and trailing spaces stay.
void TrimLeadingSpaces(std::string* line);

// Every tab becomes one space.
void ReplaceTabsWithSpaces(std::string* line);

// The normalised line: trimmed, then every tab turned into a space.
void NormaliseLine(std::string* line);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace vorlintex::translator
