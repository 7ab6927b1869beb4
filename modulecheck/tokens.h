// The tokens of one statement whose strings and comments are already gone (see line_scanner.h):
// words, numbers, string literals (as ""), and punctuation. Expressions are not parsed; the
// checker needs the leading keywords, the identifiers and a few marks.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "contract/ascii.h"

namespace vorlintex::modulecheck {

struct Token {
  enum class Kind : unsigned char {
    kWord,          // an identifier or keyword, with its type character (Len$, i%) if any
    kNumber,        // 12, 1.5E3, 10& (hexadecimal &H1F is "&" then a word)
    kString,        // a string literal
    kBracketed,     // [any name]
    kAspDelimiter,  // "<%" or "%>" (not "%" ending a name or number: i%>3 is a comparison)
    kPunct,         // any other single byte
  };
  Kind kind;
  std::string_view text;  // views the statement
  size_t offset;          // of its first byte in the statement
};

// Replaces `tokens` with those of `statement`; spaces and tabs separate them.
void Tokenize(std::string_view statement, std::vector<Token>* tokens);

inline bool IsTypeCharacter(char c) {
  return c == '%' || c == '&' || c == '!' || c == '#' || c == '@' || c == '$';
}

// The token is the word `word` in any ASCII letter case, a type character after it allowed.
// Asked of every word a module holds, several times over: the lengths settle most answers.
inline bool IsWord(const Token& token, std::string_view word) {
  if (token.kind != Token::Kind::kWord) return false;
  std::string_view text = token.text;
  if (text.size() != word.size()) {
    if (text.size() != word.size() + 1 || !IsTypeCharacter(text.back())) return false;
    text.remove_suffix(1);
  }
  return AsciiEqualIgnoringCase(text, word);
}

}  // namespace vorlintex::modulecheck
