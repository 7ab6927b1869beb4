#include "compilable/identifiers.h"

#include <algorithm>
#include <array>

#include "contract/ascii.h"

namespace vorlintex::compilable {
namespace {

// Sorted, lower case.
constexpr std::array<std::string_view, 95> kReserved = {
    "addressof", "and",    "any",      "as",     "boolean",    "byref",      "byte",
    "byval",     "call",   "case",     "cbool",  "cbyte",      "ccur",       "cdate",
    "cdbl",      "cdec",   "cint",     "class",  "clng",       "close",      "const",
    "csng",      "cstr",   "currency", "cvar",   "date",       "debug",      "declare",
    "dim",       "do",     "double",   "each",   "else",       "elseif",     "empty",
    "end",       "endif",  "enum",     "eqv",    "erase",      "error",      "event",
    "exit",      "false",  "for",      "friend", "function",   "get",        "global",
    "gosub",     "goto",   "if",       "imp",    "implements", "in",         "input",
    "integer",   "is",     "let",      "like",   "lock",       "long",       "loop",
    "lset",      "me",     "mod",      "new",    "next",       "not",        "nothing",
    "null",      "on",     "open",     "option", "optional",   "or",         "paramarray",
    "preserve",  "print",  "private",  "public", "put",        "raiseevent", "redim",
    "rem",       "resume", "return",   "rset",   "select",     "set",        "single",
    "static",    "step",   "stop",     "string",
};
constexpr std::array<std::string_view, 14> kReservedTail = {
    "sub",     "then", "to",    "true", "type",       "typeof", "until",
    "variant", "wend", "while", "with", "withevents", "write",  "xor",
};

// What every generated class module declares: a page of one of these names would clash.
constexpr std::array<std::string_view, 9> kMemberNames = {
    "aspsc",  "application", "request",     "session",   "response",
    "server", "main",        "onstartpage", "onendpage",
};

template <size_t N>
bool Holds(const std::array<std::string_view, N>& words, std::string_view lower) {
  return std::find(words.begin(), words.end(), lower) != words.end();
}

}  // namespace

bool IsReservedWord(std::string_view word) {
  const std::string lower = AsciiLower(word);
  return Holds(kReserved, lower) || Holds(kReservedTail, lower);
}

bool IsIdentifier(std::string_view name) {
  if (name.empty() || name.size() > 255 || !IsLetter(name[0])) return false;
  for (char c : name) {
    if (!IsNameByte(c)) return false;
  }
  return !IsReservedWord(name);
}

std::string ClassNameFor(std::string_view base_name) {
  std::string name;
  for (char c : base_name) name += IsNameByte(c) ? c : '_';
  if (name.empty() || !IsLetter(name[0])) name.insert(0, "p");
  if (name.size() > 250) name.resize(250);
  if (IsReservedWord(name) || Holds(kMemberNames, AsciiLower(name))) name += "_page";
  return name;
}

}  // namespace vorlintex::compilable
