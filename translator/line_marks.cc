#include "translator/line_marks.h"

namespace vorlintex::translator {

void LineMarks::Find(std::string_view line, std::string_view test_copy) {
  comment_open_ = line.rfind("<!");
  include_word_ = test_copy.rfind("#include");
  sub_word_ = test_copy.rfind("sub ");
  code_open_ = line.rfind("<%");

  compact_.clear();
  compact_origin_.clear();
  for (size_t i = 0; i < test_copy.size(); ++i) {
    if (test_copy[i] == ' ') continue;
    compact_.push_back(test_copy[i]);
    compact_origin_.push_back(i);
  }
  // A marker found in the compact copy starts at a byte that is no space, so the position of
  // that byte in the line tells in which rests the marker lies.
  auto origin = [this](size_t compact_position) {
    return compact_position == std::string::npos ? std::string_view::npos
                                                 : compact_origin_[compact_position];
  };
  directive_open_ = origin(compact_.rfind("<%@"));
  option_explicit_ = origin(compact_.rfind("optionexplicit"));
}

}  // namespace vorlintex::translator
