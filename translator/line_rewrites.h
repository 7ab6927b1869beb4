// The rewrites the passes make to the bytes of a line read from a page or an include file:
// the forms in which they look at it (the trimmed and the normalised line), and the copy of a
// text into a string literal. Lines are bytes: every byte other than the space, the tab and
// the double quote stays as it is. The keyword tests made on a line's test copy are made on
// the line itself (translator/keyword_search.h).
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

// Copies `text` to `out` with every double quote doubled and, unless `placeholder` is itself
// the double quote, every `placeholder` turned into one double quote; returns the end of what
// was written. `out` must have room for twice the bytes of `text` and sixteen more.
char* CopyDoublingQuotes(std::string_view text, char placeholder, char* out);

}  // namespace vorlintex::translator
