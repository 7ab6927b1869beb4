// The lines of a class module's header, and Attribute lines wherever they stand.
#pragma once

#include <string_view>

namespace vorlintex::modulecheck {

std::string_view Trim(std::string_view text);
// The first run of bytes up to a space or tab.
std::string_view FirstWord(std::string_view text);
// `text` starts with `word` (any letter case) followed by a space, a tab or nothing.
bool StartsWithWord(std::string_view text, std::string_view word);

// "VERSION 1.0 CLASS", the words separated by any spaces and tabs.
bool IsVersionLine(std::string_view trimmed);
// A property of the header's BEGIN block: "Name = value", a comment after the value allowed.
bool IsHeaderProperty(std::string_view trimmed);

// "Attribute name = value": a name (dotted for a member's attribute, Item.VB_UserMemId) and a
// value; `well_formed` false for anything else.
struct AttributeLine {
  bool well_formed = false;
  std::string_view name;
  std::string_view value;
};
AttributeLine ParseAttribute(std::string_view trimmed);

// The class name in VB_Name's value: the text between its quotes. `quoted` false when the value
// is not one string literal, and then `name` is the value itself.
struct ClassName {
  bool quoted = false;
  std::string_view name;
};
ClassName ParseClassName(std::string_view value);

}  // namespace vorlintex::modulecheck
