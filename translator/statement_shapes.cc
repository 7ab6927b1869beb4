#include "translator/statement_shapes.h"

#include "contract/ascii.h"

namespace vorlintex::translator {
namespace {

// `text` from its first byte that is no space or tab.
std::string_view SkipBlanks(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  return text.substr(at);
}

// When `text` begins with `word` (ASCII case ignored) followed by a space or tab, the rest
// after the blanks; else nothing is taken and false is returned.
bool TakeWord(std::string_view* text, std::string_view word) {
  if (text->size() <= word.size() || !AsciiEqualIgnoringCase(text->substr(0, word.size()), word)) {
    return false;
  }
  char after = (*text)[word.size()];
  if (after != ' ' && after != '\t') return false;
  *text = SkipBlanks(text->substr(word.size()));
  return true;
}

bool StartsIdentifier(std::string_view text) {
  if (text.empty()) return false;
  char c = AsciiLower(text[0]);
  return (c >= 'a' && c <= 'z') || c == '_' || c == '[';
}

// The statement with its leading blanks and an opening "<%" taken off.
std::string_view AfterCodeOpen(std::string_view code) {
  std::string_view text = SkipBlanks(code);
  return text.starts_with("<%") ? SkipBlanks(text.substr(2)) : text;
}

// The same, with a Public or Private taken off too.
std::string_view StatementBody(std::string_view code) {
  std::string_view text = AfterCodeOpen(code);
  if (!TakeWord(&text, "public")) TakeWord(&text, "private");
  return text;
}

}  // namespace

bool StartsSub(std::string_view code) {
  std::string_view text = StatementBody(code);
  return TakeWord(&text, "sub") && StartsIdentifier(text);
}

bool StartsFunctionOrProperty(std::string_view code) {
  std::string_view text = StatementBody(code);
  if (TakeWord(&text, "function")) return StartsIdentifier(text);
  if (!TakeWord(&text, "property")) return false;
  return (TakeWord(&text, "get") || TakeWord(&text, "let") || TakeWord(&text, "set")) &&
         StartsIdentifier(text);
}

bool StartsClass(std::string_view code) {
  std::string_view text = AfterCodeOpen(code);
  return TakeWord(&text, "class") && StartsIdentifier(text);
}

bool QuotesPair(std::string_view statement) {
  bool in_string = false;
  for (char c : statement) {
    if (c == '"') {
      in_string = !in_string;
    } else if (c == '\'' && !in_string) {
      break;  // the rest is a comment
    }
  }
  return !in_string;
}

}  // namespace vorlintex::translator
