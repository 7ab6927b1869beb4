#include "modulecheck/header_lines.h"

#include "contract/ascii.h"
#include "modulecheck/vb_names.h"

namespace vorlintex::modulecheck {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TakeWord(std::string_view* text) {
  *text = Trim(*text);
  const std::string_view word = FirstWord(*text);
  text->remove_prefix(word.size());
  return word;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view FirstWord(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

bool StartsWithWord(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && AsciiEqualIgnoringCase(text.substr(0, word.size()), word) &&
         (text.size() == word.size() || IsBlank(text[word.size()]));
}

bool IsVersionLine(std::string_view trimmed) {
  return AsciiEqualIgnoringCase(TakeWord(&trimmed), "version") && TakeWord(&trimmed) == "1.0" &&
         AsciiEqualIgnoringCase(TakeWord(&trimmed), "class") && Trim(trimmed).empty();
}

bool IsHeaderProperty(std::string_view trimmed) {
  size_t i = 0;
  while (i < trimmed.size() && IsIdentifierChar(trimmed[i])) ++i;
  if (i == 0 || !IsIdentifierStart(trimmed[0])) return false;
  const std::string_view rest = Trim(trimmed.substr(i));
  return rest.size() > 1 && rest[0] == '=' && !Trim(rest.substr(1)).empty();
}

AttributeLine ParseAttribute(std::string_view trimmed) {
  AttributeLine line;
  if (!StartsWithWord(trimmed, "attribute")) return line;
  std::string_view rest = Trim(trimmed.substr(9));
  size_t i = 0;
  while (i < rest.size() && (IsIdentifierChar(rest[i]) || rest[i] == '.')) ++i;
  line.name = rest.substr(0, i);
  rest = Trim(rest.substr(i));
  if (line.name.empty() || !IsIdentifierStart(line.name[0]) || line.name.back() == '.' ||
      rest.empty() || rest[0] != '=') {
    return line;
  }
  line.value = Trim(rest.substr(1));
  line.well_formed = !line.value.empty();
  return line;
}

ClassName ParseClassName(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    const std::string_view inner = value.substr(1, value.size() - 2);
    if (inner.find('"') == std::string_view::npos) return ClassName{true, inner};
  }
  return ClassName{false, value};
}

}  // namespace vorlintex::modulecheck
