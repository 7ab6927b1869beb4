#include "modulecheck/public_members.h"

#include "modulecheck/header_lines.h"

namespace vorlintex::modulecheck {
namespace {

bool IsPunct(const Token& token, char c) {
  return token.kind == Token::Kind::kPunct && token.text[0] == c;
}

}  // namespace

std::string_view FirstNonPublicVariable(std::string_view statement,
                                        const std::vector<Token>& tokens, size_t first) {
  size_t start = first;
  while (start < tokens.size()) {
    // One declarator: up to the next comma outside parentheses.
    size_t end = start;
    int depth = 0;
    while (end < tokens.size() && !(depth == 0 && IsPunct(tokens[end], ','))) {
      if (IsPunct(tokens[end], '(')) ++depth;
      if (IsPunct(tokens[end], ')')) --depth;
      ++end;
    }
    size_t name = start;
    if (name < end && IsWord(tokens[name], "withevents")) ++name;
    bool refused = name + 1 < end && IsPunct(tokens[name + 1], '(');
    for (size_t i = name; i < end && !refused; ++i) refused = IsPunct(tokens[i], '*');
    if (refused) {
      const size_t from = tokens[start].offset;
      const size_t to = end < tokens.size() ? tokens[end].offset : statement.size();
      return Trim(statement.substr(from, to - from));
    }
    start = end + 1;
  }
  return {};
}

}  // namespace vorlintex::modulecheck
