// Byte searches over a line as it was read: where a byte or a text occurs, where the leading
// spaces end, which of a few bytes the line holds. Each loop looks at sixteen bytes at a time
// where the processor allows it (translator/simd.h). The keywords are searched for in
// translator/keyword_search.h.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorlintex::translator {

// The first `a` or `b` at or after `from`; npos when there is none.
size_t FindEitherByte(std::string_view text, size_t from, char a, char b);

// The first byte at or after `from` that is no space (code 32); the size of `text` when there
// is none.
size_t SkipSpaces(std::string_view text, size_t from);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Which of a few bytes a line holds, found in one look at it: a line lacking one of them can
// skip the steps that need it.
struct LineBytes {
  bool tab = false;
  bool hash = false;
  bool percent = false;
  bool quote = false;
  bool at_sign = false;
  bool x = false;  // 'x' or 'X'
  bool b = false;  // 'b' or 'B', which "sub " cannot do without
};
LineBytes FindLineBytes(std::string_view line);

}  // namespace vorlintex::translator
