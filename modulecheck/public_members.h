// What a class module cannot make Public: Visual Basic 6 refuses constants, fixed-length
// strings, arrays, user-defined types and Declare statements as Public members of object
// modules. Types are not told apart here (a Public variable of a user-defined type passes).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "modulecheck/tokens.h"

namespace vorlintex::modulecheck {

// The variables declared from `tokens[first]` on (after Public), each "[WithEvents] name[(...)]
// [As [New] type [* length]]" separated by commas: the first that is an array or a fixed-length
// string, as written in `statement`, or empty when there is none.
std::string_view FirstNonPublicVariable(std::string_view statement,
                                        const std::vector<Token>& tokens, size_t first);

}  // namespace vorlintex::modulecheck
