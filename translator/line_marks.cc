#include "translator/line_marks.h"

#include <cstring>

#include "component/ascii.h"

namespace vorlintex::translator {

size_t FindLastIgnoringSpaces(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return text.size();
  // From the end backwards, so the first match found is the last one. A match starts at a
  // byte that is no space, so its position in `text` stands for its position in the compact
  // copy. An attempt reads no more bytes that are not spaces than the pattern holds, so the
  // scan stays linear in the length of `text`.
  for (size_t start = text.size(); start-- > 0;) {
    if (AsciiLower(text[start]) != pattern[0]) continue;
    size_t at = start + 1;
    size_t matched = 1;
    while (matched < pattern.size() && at < text.size()) {
      if (text[at] == ' ') {
        ++at;
      } else if (AsciiLower(text[at]) == pattern[matched]) {
        ++at;
        ++matched;
      } else {
        break;
      }
    }
    if (matched == pattern.size()) return start;
  }
  return std::string_view::npos;
}

void LineMarks::FindRuleMarks(std::string_view line) {
  code_open_.Reset();
  comment_open_.Reset();
  include_word_.Reset();
  sub_word_.Reset();
  // Most lines hold neither space-free marker, and lack a byte of it that is rare in a page:
  // one look for that byte settles them.
  directive_open_ = std::memchr(line.data(), '@', line.size()) == nullptr
                        ? std::string_view::npos
                        : FindLastIgnoringSpaces(line, "<%@");
  option_explicit_ = FindEitherByte(line, 0, 'x', 'X') == std::string_view::npos
                         ? std::string_view::npos
                         : FindLastIgnoringSpaces(line, "optionexplicit");
}

}  // namespace vorlintex::translator
