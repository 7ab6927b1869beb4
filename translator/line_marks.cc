#include "translator/line_marks.h"

namespace vorlintex::translator {

size_t FindLastIgnoringSpaces(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return text.size();
  // From the end backwards, so the first match found is the last one. A match starts at a
  // byte that is no space, so its position in `text` stands for its position in the compact
  // copy. An attempt reads no more bytes that are not spaces than the pattern holds, so the
  // scan stays linear in the length of `text`.
  for (size_t start = text.size(); start-- > 0;) {
    if (text[start] != pattern[0]) continue;
    size_t at = start + 1;
    size_t matched = 1;
    while (matched < pattern.size() && at < text.size()) {
      if (text[at] == ' ') {
        ++at;
      } else if (text[at] == pattern[matched]) {
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

void LineMarks::FindRuleMarks(std::string_view line, std::string_view test_copy) {
  code_open_ = line.rfind("<%");
  // Most lines hold neither marker, and lack one byte of it that is rare in a page: one
  // memchr of that byte settles them.
  directive_open_ = test_copy.find('@') == std::string_view::npos
                        ? std::string_view::npos
                        : FindLastIgnoringSpaces(test_copy, "<%@");
  option_explicit_ = test_copy.find('x') == std::string_view::npos
                         ? std::string_view::npos
                         : FindLastIgnoringSpaces(test_copy, "optionexplicit");
}

void LineMarks::FindRestMarks(std::string_view line, std::string_view test_copy) {
  comment_open_ = line.rfind("<!");
  include_word_ = test_copy.rfind("#include");
  sub_word_ = test_copy.rfind("sub ");
}

}  // namespace vorlintex::translator
