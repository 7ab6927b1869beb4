// The forms in which the passes look at a line read from a page or an include file. Lines
// are bytes: only ASCII letters are case-folded, every other byte stays as it is.
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

// The test copy of `line` (its lower-case form) into `test_copy`, reusing its storage.
void FormTestCopy(std::string_view line, std::string* test_copy);

// The test copy of the normalised form of a trimmed `line`: lower case, tabs as spaces. Lets
// the body pass fold a line once while it still needs the line's tabs for an include name.
void FormNormalisedTestCopy(std::string_view line, std::string* test_copy);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace vorlintex::translator
