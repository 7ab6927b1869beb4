// Where the markers that settle a body line last occur in it. After a "%>" the rest of a line
// is taken as a new line; since a marker occurs in a rest exactly when its last occurrence
// starts inside that rest, one look at the whole line answers the tests of all its rests, and
// a line with many code blocks costs no more than its length.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::translator {

class LineMarks {
 public:
  // Finds the markers of `line`, whose test copy is `test_copy` (the same length).
  void Find(std::string_view line, std::string_view test_copy);

  // Each: true when the marker occurs in the part of the line that begins at `start`.
  bool CommentOpenFrom(size_t start) const { return Within(comment_open_, start); }  // "<!"
  bool IncludeWordFrom(size_t start) const { return Within(include_word_, start); }  // "#include"
  bool SubWordFrom(size_t start) const { return Within(sub_word_, start); }          // "sub "
  bool CodeOpenFrom(size_t start) const { return Within(code_open_, start); }        // "<%"
  // "<%@" and "optionexplicit", found in the test copy with every space removed.
  bool DirectiveOpenFrom(size_t start) const { return Within(directive_open_, start); }
  bool OptionExplicitFrom(size_t start) const { return Within(option_explicit_, start); }

 private:
  static bool Within(size_t mark, size_t start) {
    return mark != std::string_view::npos && mark >= start;
  }

  size_t comment_open_ = std::string_view::npos;
  size_t include_word_ = std::string_view::npos;
  size_t sub_word_ = std::string_view::npos;
  size_t code_open_ = std::string_view::npos;
  size_t directive_open_ = std::string_view::npos;
  size_t option_explicit_ = std::string_view::npos;

  // The compact test copy and, for each of its bytes, its position in the line; kept to reuse
  // their storage from line to line.
  std::string compact_;
  std::vector<size_t> compact_origin_;
};

}  // namespace vorlintex::translator
