// Where the markers that settle a body line occur in it. After a "%>" the rest of a line is
// taken as a new line; a marker occurs in a rest exactly when its last occurrence starts
// inside that rest, or when a search from the rest's start finds it, and neither needs more
// than one look over the line: a line with many code blocks costs no more than its length.
// The markers are found in the line itself, whose tabs are already spaces; letters match in
// either case, as they would in the test copy.
#pragma once

#include <string_view>

#include "translator/byte_search.h"

namespace vorlintex::translator {

class LineMarks {
 public:
  // Forgets the answers for the line before: `line` is the line asked about from now on.
  // `bytes` tells which bytes the line lacks, and with them the markers that hold them.
  void StartLine(const LineBytes& bytes);

  // Each: true when the marker occurs in the part of `line` that begins at `start`; `start`
  // grows from call to call.
  bool CodeOpenFrom(std::string_view line, size_t start) {  // "<%"
    return code_open_.InFrom(line, start);
  }
  // "<%@" and "optionexplicit" in the compact test copy, the test copy without its spaces.
  bool DirectiveOpenFrom(std::string_view line, size_t start) {
    return directive_open_.InFrom(line, start);
  }
  bool OptionExplicitFrom(std::string_view line, size_t start) {
    return option_explicit_.InFrom(line, start);
  }
  bool CommentOpenFrom(std::string_view line, size_t start) {  // "<!"
    return comment_open_.InFrom(line, start);
  }
  bool IncludeWordFrom(std::string_view line, size_t start) {  // "#include"
    return include_word_.InFrom(line, start);
  }
  bool SubWordFrom(std::string_view line, size_t start) {  // "sub "
    return sub_word_.InFrom(line, start);
  }

 private:
  static size_t FindCodeOpen(std::string_view line, size_t from);
  static size_t FindDirectiveOpen(std::string_view line, size_t from);
  static size_t FindOptionExplicit(std::string_view line, size_t from);
  static size_t FindCommentOpen(std::string_view line, size_t from);
  static size_t FindIncludeWord(std::string_view line, size_t from);
  static size_t FindSubWord(std::string_view line, size_t from);

  NextMatch code_open_{FindCodeOpen};
  NextMatch directive_open_{FindDirectiveOpen};
  NextMatch option_explicit_{FindOptionExplicit};
  NextMatch comment_open_{FindCommentOpen};
  NextMatch include_word_{FindIncludeWord};
  NextMatch sub_word_{FindSubWord};
};

// The first occurrence, starting at or after `from`, of `pattern` in `text` read with every
// space removed and its letters in lower case, as the position in `text` of the occurrence's
// first byte; npos when there is none. `pattern` holds no space, its letters are lower case,
// and its byte at `anchor` is one that is rare in a page: only the places of that byte in
// `text` are tried.
size_t FindIgnoringSpaces(std::string_view text, size_t from, std::string_view pattern,
                          size_t anchor);

}  // namespace vorlintex::translator
