// Where the markers that settle a body line last occur in it. After a "%>" the rest of a line
// is taken as a new line; since a marker occurs in a rest exactly when its last occurrence
// starts inside that rest, one look at the whole line answers the tests of all its rests, and
// a line with many code blocks costs no more than its length.
#pragma once

#include <string_view>

namespace vorlintex::translator {

class LineMarks {
 public:
  // The markers of the classification rules, in `line` and its test copy (the same length).
  void FindRuleMarks(std::string_view line, std::string_view test_copy);
  // The markers tested at the start of a rest; only needed once a line has a rest.
  void FindRestMarks(std::string_view line, std::string_view test_copy);

  // Each: true when the marker occurs in the part of the line that begins at `start`.
  bool CodeOpenFrom(size_t start) const { return Within(code_open_, start); }  // "<%"
  // "<%@" and "optionexplicit" in the compact test copy, the test copy without its spaces.
  bool DirectiveOpenFrom(size_t start) const { return Within(directive_open_, start); }
  bool OptionExplicitFrom(size_t start) const { return Within(option_explicit_, start); }
  bool CommentOpenFrom(size_t start) const { return Within(comment_open_, start); }  // "<!"
  bool IncludeWordFrom(size_t start) const { return Within(include_word_, start); }  // "#include"
  bool SubWordFrom(size_t start) const { return Within(sub_word_, start); }          // "sub "

 private:
  static bool Within(size_t mark, size_t start) {
    return mark != std::string_view::npos && mark >= start;
  }

  size_t code_open_ = std::string_view::npos;
  size_t directive_open_ = std::string_view::npos;
  size_t option_explicit_ = std::string_view::npos;
  size_t comment_open_ = std::string_view::npos;
  size_t include_word_ = std::string_view::npos;
  size_t sub_word_ = std::string_view::npos;
};

// The start of the last occurrence of `pattern` (which holds no space) in `text` read with
// every space removed, as a position in `text`; npos when there is none.
size_t FindLastIgnoringSpaces(std::string_view text, std::string_view pattern);

}  // namespace vorlintex::translator
