#include "modulecheck/vb_names.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "contract/ascii.h"

namespace vorlintex::modulecheck {
namespace {

// Lower case, sorted for binary search.
constexpr std::string_view kReserved[] = {
    "addressof", "and",     "any",        "as",         "attribute",  "boolean",    "byref",
    "byte",      "byval",   "call",       "case",       "cbool",      "cbyte",      "ccur",
    "cdate",     "cdbl",    "cdec",       "cint",       "clng",       "close",      "const",
    "csng",      "cstr",    "currency",   "cvar",       "cverr",      "date",       "decimal",
    "declare",   "defbool", "defbyte",    "defcur",     "defdate",    "defdbl",     "defdec",
    "defint",    "deflng",  "defobj",     "defsng",     "defstr",     "defvar",     "dim",
    "do",        "double",  "each",       "else",       "elseif",     "empty",      "end",
    "endif",     "enum",    "eqv",        "erase",      "error",      "event",      "exit",
    "false",     "for",     "friend",     "function",   "get",        "global",     "gosub",
    "goto",      "if",      "imp",        "implements", "in",         "input",      "integer",
    "is",        "let",     "like",       "lock",       "long",       "loop",       "lset",
    "me",        "mod",     "new",        "next",       "not",        "nothing",    "null",
    "on",        "open",    "option",     "optional",   "or",         "paramarray", "preserve",
    "print",     "private", "public",     "put",        "raiseevent", "redim",      "rem",
    "resume",    "return",  "rset",       "seek",       "select",     "set",        "single",
    "static",    "step",    "stop",       "string",     "sub",        "then",       "to",
    "true",      "type",    "typeof",     "unlock",     "until",      "variant",    "wend",
    "while",     "with",    "withevents", "write",      "xor",
};

const std::vector<std::string_view>& SortedReserved() {
  static const auto* sorted = [] {
    auto* words = new std::vector<std::string_view>(std::begin(kReserved), std::end(kReserved));
    std::sort(words->begin(), words->end());
    return words;
  }();
  return *sorted;
}

}  // namespace

bool IsIdentifier(std::string_view name, size_t max_length) {
  if (name.empty() || name.size() > max_length || !IsIdentifierStart(name[0])) return false;
  return std::all_of(name.begin(), name.end(), IsIdentifierChar);
}

bool IsReservedWord(std::string_view word) {
  if (word.empty() || word.size() > 10) return false;
  const std::string lower = AsciiLower(word);
  const auto& words = SortedReserved();
  return std::binary_search(words.begin(), words.end(), std::string_view(lower));
}

}  // namespace vorlintex::modulecheck
