// Where the markers that settle a body line occur in it. After a "%>" the rest of a line is
// taken as a new line; a marker occurs in a rest exactly when its last occurrence starts
// inside that rest, or when a search from the rest's start finds it, and neither needs more
// than one look over the line: a line with many code blocks costs no more than its length.
// The markers are found in the line itself, whose tabs are already spaces; letters match in
// either case, as they would in the test copy.
#pragma once

#include <string_view>

#include "translator/line_search.h"

namespace vorlintex::translator {

class LineMarks {
 public:
  // The markers of the classification rules in `line`, and forgets those of the line before.
  void FindRuleMarks(std::string_view line);

  // Each: true when the marker occurs in the part of the line that begins at `start`.
  // "<%@" and "optionexplicit" in the compact test copy, the test copy without its spaces.
  bool DirectiveOpenFrom(size_t start) const { return Within(directive_open_, start); }
  bool OptionExplicitFrom(size_t start) const { return Within(option_explicit_, start); }

  // The markers searched for from the start of a rest, only when the rules come to them.
  // `line` is the line given to FindRuleMarks; `start` grows from call to call.
  bool CodeOpenFrom(std::string_view line, size_t start) {  // "<%"
    return code_open_.InFrom(line, start);
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
  static bool Within(size_t mark, size_t start) {
    return mark != std::string_view::npos && mark >= start;
  }
  static constexpr Keyword kCodeOpen{"<%"};
  static constexpr Keyword kCommentOpen{"<!"};
  static constexpr Keyword kIncludeWord{"#include"};
  static constexpr Keyword kSubWord{"sub "};

  size_t directive_open_ = std::string_view::npos;
  size_t option_explicit_ = std::string_view::npos;
  NextKeyword code_open_{kCodeOpen};
  NextKeyword comment_open_{kCommentOpen};
  NextKeyword include_word_{kIncludeWord};
  NextKeyword sub_word_{kSubWord};
};

// The start of the last occurrence of `pattern` (which holds no space; its letters in lower
// case) in `text` read with every space removed and its letters in lower case, as a position
// in `text`; npos when there is none.
size_t FindLastIgnoringSpaces(std::string_view text, std::string_view pattern);

}  // namespace vorlintex::translator
