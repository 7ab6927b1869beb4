#include "translator/body_line_marks.h"

#include "translator/keyword_search.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kCodeOpen("<%");
constexpr Keyword kCommentOpen("<!");
constexpr Keyword kIncludeWord("#include");
constexpr Keyword kSubWord("sub ");

}  // namespace

void BodyLineMarks::StartLine(const LineBytes& bytes) {
  if (bytes.percent) {
    code_open_.Reset();
  } else {
    code_open_.ResetToNone();
  }
  if (bytes.percent && bytes.at_sign) {
    directive_open_.Reset();
  } else {
    directive_open_.ResetToNone();
  }
  if (bytes.x) {
    option_explicit_.Reset();
  } else {
    option_explicit_.ResetToNone();
  }
  comment_open_.Reset();
  include_word_.Reset();
  sub_word_.Reset();
}

size_t BodyLineMarks::FindCodeOpen(std::string_view line, size_t from) {
  return kCodeOpen.FindIn(line, from);
}

size_t BodyLineMarks::FindDirectiveOpen(std::string_view line, size_t from) {
  return FindIgnoringSpaces(line, from, "<%@", 2);
}

size_t BodyLineMarks::FindOptionExplicit(std::string_view line, size_t from) {
  return FindIgnoringSpaces(line, from, "optionexplicit", 7);
}

size_t BodyLineMarks::FindCommentOpen(std::string_view line, size_t from) {
  return kCommentOpen.FindIn(line, from);
}

size_t BodyLineMarks::FindIncludeWord(std::string_view line, size_t from) {
  return kIncludeWord.FindIn(line, from);
}

size_t BodyLineMarks::FindSubWord(std::string_view line, size_t from) {
  return kSubWord.FindIn(line, from);
}

}  // namespace vorlintex::translator
