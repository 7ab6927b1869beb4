#include "translator/body_line_marks.h"

#include <cstring>

#include "contract/ascii.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

constexpr Keyword kCodeOpen("<%");
constexpr Keyword kCommentOpen("<!");
constexpr Keyword kIncludeWord("#include");
constexpr Keyword kSubWord("sub ");

// The next place of `byte` (either case when it is a letter) at or after `from`.
size_t FindAnchor(std::string_view text, size_t from, char byte) {
  if (byte >= 'a' && byte <= 'z') {
    return FindEitherByte(text, from, byte, static_cast<char>(byte - 'a' + 'A'));
  }
  if (from >= text.size()) return kNone;
  const void* found = std::memchr(text.data() + from, byte, text.size() - from);
  return found == nullptr ? kNone
                          : static_cast<size_t>(static_cast<const char*>(found) - text.data());
}

// The place of the next byte that is no space, before `at` (step -1) or after it (step 1);
// npos when there is none.
size_t NextNonSpace(std::string_view text, size_t at, int step) {
  for (;;) {
    if (step < 0 ? at == 0 : at + 1 >= text.size()) return kNone;
    at = step < 0 ? at - 1 : at + 1;
    if (text[at] != ' ') return at;
  }
}

}  // namespace

size_t FindIgnoringSpaces(std::string_view text, size_t from, std::string_view pattern,
                          size_t anchor) {
  // The occurrences come in the order of their anchor bytes, so the first one whose first
  // byte lies at or after `from` is the answer. Each try reads no more bytes that are not
  // spaces than the pattern holds, and a run of spaces is crossed by no more tries than that
  // either, so the search stays linear in the length of `text`.
  for (size_t place = FindAnchor(text, from, pattern[anchor]); place != kNone;
       place = FindAnchor(text, place + 1, pattern[anchor])) {
    size_t start = place;
    bool matched = true;
    for (size_t k = anchor; matched && k-- > 0;) {
      start = NextNonSpace(text, start, -1);
      matched = start != kNone && AsciiLower(text[start]) == pattern[k];
    }
    if (!matched || start < from) continue;
    size_t at = place;
    for (size_t k = anchor + 1; matched && k < pattern.size(); ++k) {
      at = NextNonSpace(text, at, 1);
      matched = at != kNone && AsciiLower(text[at]) == pattern[k];
    }
    if (matched) return start;
  }
  return kNone;
}

void LineMarks::StartLine(const LineBytes& bytes) {
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

size_t LineMarks::FindCodeOpen(std::string_view line, size_t from) {
  return kCodeOpen.FindIn(line, from);
}

size_t LineMarks::FindDirectiveOpen(std::string_view line, size_t from) {
  return FindIgnoringSpaces(line, from, "<%@", 2);
}

size_t LineMarks::FindOptionExplicit(std::string_view line, size_t from) {
  return FindIgnoringSpaces(line, from, "optionexplicit", 7);
}

size_t LineMarks::FindCommentOpen(std::string_view line, size_t from) {
  return kCommentOpen.FindIn(line, from);
}

size_t LineMarks::FindIncludeWord(std::string_view line, size_t from) {
  return kIncludeWord.FindIn(line, from);
}

size_t LineMarks::FindSubWord(std::string_view line, size_t from) {
  return kSubWord.FindIn(line, from);
}

}  // namespace vorlintex::translator
