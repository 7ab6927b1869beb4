// Visual Basic 6 names: which words the language keeps for itself, and the class name a page
// gets when its own name cannot name a class.
#pragma once

#include <string>
#include <string_view>

#include "modulecheck/vb_names.h"

namespace vorlintex::compilable {

// The module checker's reading of names, so that a name these rules make is one it passes.
inline bool IsLetter(char c) { return modulecheck::IsIdentifierStart(c); }
// A byte that may stand in a name after its first letter.
inline bool IsNameByte(char c) { return modulecheck::IsIdentifierChar(c); }

// True for a word Visual Basic 6 keeps for itself (`select`, `end`, `next`, `error`...), in
// any ASCII letter case.
bool IsReservedWord(std::string_view word);

// True when `name` can name a class: an ASCII letter, then letters, digits and underscores, at
// most the 40 characters of a class name, and not a reserved word.
bool IsIdentifier(std::string_view name);

// The class name of a page whose base name is `base_name`. A base name that is an identifier
// and no name the class module itself declares stays as it is; otherwise every byte that is
// not an ASCII letter, digit or underscore becomes "_", a name that does not begin with a
// letter gets "p" in front, a name longer than a class name may be is cut, and a reserved word
// or a member name of the class gets "_page" after it: "my-page" gives "my_page", "2col"
// "p2col", "select" "select_page".
std::string ClassNameFor(std::string_view base_name);

}  // namespace vorlintex::compilable
