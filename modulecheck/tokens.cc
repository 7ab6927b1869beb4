#include "modulecheck/tokens.h"

#include "contract/ascii.h"
#include "modulecheck/vb_names.h"

namespace vorlintex::modulecheck {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A type character ends the name or number before it only when no name follows it: "rs!Field"
// is a member, "x! = 1" a Single.
size_t TakeTypeCharacter(std::string_view s, size_t i) {
  if (i < s.size() && IsTypeCharacter(s[i]) && (i + 1 == s.size() || !IsIdentifierChar(s[i + 1]))) {
    return i + 1;
  }
  return i;
}

}  // namespace

void Tokenize(std::string_view s, std::vector<Token>* tokens) {
  tokens->clear();
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    const size_t start = i;
    Token::Kind kind = Token::Kind::kPunct;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    } else if (IsIdentifierStart(c)) {
      while (i < s.size() && IsIdentifierChar(s[i])) ++i;
      i = TakeTypeCharacter(s, i);
      kind = Token::Kind::kWord;
    } else if (IsDigit(c) || (c == '.' && i + 1 < s.size() && IsDigit(s[i + 1]))) {
      // Digits, a fraction, an exponent (E or D, a sign, digits): a letter that begins no
      // exponent ends the number, so "0Then" is 0 and Then, as the language reads numbers.
      while (i < s.size() && (IsDigit(s[i]) || s[i] == '.')) ++i;
      if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t digits = i + 1;
        if (digits < s.size() && (s[digits] == '+' || s[digits] == '-')) ++digits;
        if (digits < s.size() && IsDigit(s[digits])) {
          i = digits;
          while (i < s.size() && IsDigit(s[i])) ++i;
        }
      }
      i = TakeTypeCharacter(s, i);
      kind = Token::Kind::kNumber;
    } else if (c == '"') {
      ++i;
      while (i < s.size()) {
        if (s[i] == '"') {
          if (i + 1 < s.size() && s[i + 1] == '"') {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      kind = Token::Kind::kString;
    } else if (c == '[') {
      while (i < s.size() && s[i] != ']') ++i;
      if (i < s.size()) ++i;
      kind = Token::Kind::kBracketed;
    } else if ((c == '<' && i + 1 < s.size() && s[i + 1] == '%') ||
               (c == '%' && i + 1 < s.size() && s[i + 1] == '>')) {
      i += 2;
      kind = Token::Kind::kAspDelimiter;
    } else {
      ++i;
    }
    tokens->push_back(Token{kind, s.substr(start, i - start), start});
  }
}

}  // namespace vorlintex::modulecheck
