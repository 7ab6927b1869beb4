#include "compilable/identifiers.h"

#include <algorithm>
#include <array>

#include "contract/ascii.h"

namespace vorlintex::compilable {
namespace {

// What every generated class module declares: a page of one of these names would clash.
constexpr std::array<std::string_view, 9> kMemberNames = {
    "aspsc",  "application", "request",     "session",   "response",
    "server", "main",        "onstartpage", "onendpage",
};

bool IsMemberName(std::string_view name) {
  return std::find(kMemberNames.begin(), kMemberNames.end(), AsciiLower(name)) !=
         kMemberNames.end();
}

}  // namespace

bool IsReservedWord(std::string_view word) { return modulecheck::IsReservedWord(word); }

bool IsIdentifier(std::string_view name) {
  return modulecheck::IsIdentifier(name, modulecheck::kMaxClassNameLength) && !IsReservedWord(name);
}

std::string ClassNameFor(std::string_view base_name) {
  std::string name;
  for (char c : base_name) name += IsNameByte(c) ? c : '_';
  if (name.empty() || !IsLetter(name[0])) name.insert(0, "p");
  if (name.size() > modulecheck::kMaxClassNameLength) name.resize(modulecheck::kMaxClassNameLength);
  if (IsReservedWord(name) || IsMemberName(name)) name += "_page";
  return name;
}

}  // namespace vorlintex::compilable
