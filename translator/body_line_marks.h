// Where the markers that settle a body line occur in it. After a "%>" the rest of a line is
// taken as a new line; a marker occurs in a rest exactly when its last occurrence starts
// inside that rest, or when a search from the rest's start finds it, and neither needs more
// than one look over the line: a line with many code blocks costs no more than its length.
// The markers are found in the line itself, whose tabs are already spaces; letters match in
// either case, as they would in the test copy.
#pragma once

#include <string_view>

#include "translator/byte_search.h"
#include "translator/match_cache.h"

namespace vorlintex::translator {

class BodyLineMarks {
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

  MatchCache code_open_{FindCodeOpen};
  MatchCache directive_open_{FindDirectiveOpen};
  MatchCache option_explicit_{FindOptionExplicit};
  MatchCache comment_open_{FindCommentOpen};
  MatchCache include_word_{FindIncludeWord};
  MatchCache sub_word_{FindSubWord};
};

}  // namespace vorlintex::translator
