#include "compilable/identifiers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

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

// A name too long for a class keeps its start and ends in a hash of the whole, so two long
// paths that begin alike (a site's ueditor/dialogs/emotion/... pages) still give two classes.
// FNV-1a over the name in lower case: the same on every system, as names compare in Visual
// Basic.
std::string ShortenedName(const std::string& name) {
  uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 16777619u;
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string tail = "_";
  for (int shift = 28; shift >= 0; shift -= 4) tail += kDigits[(hash >> shift) & 0xF];
  return name.substr(0, modulecheck::kMaxClassNameLength - tail.size()) + tail;
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
  if (name.size() > modulecheck::kMaxClassNameLength) name = ShortenedName(name);
  if (IsReservedWord(name) || IsMemberName(name)) name += "_page";
  return name;
}

}  // namespace vorlintex::compilable
