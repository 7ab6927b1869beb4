// The names of files in the making: a file is written under one of these beside the name it is
// to take, and renamed to that name once whole. No name the run writes looks like one, and the
// folder listing leaves them out (they start with ".").
#pragma once

#include <string>
#include <string_view>

#include "contract/status.h"

namespace vorlintex {

// A new name ".vorlintex-" + 16 random hexadecimal digits + ".tmp".
Status NewTemporaryName(std::string* name);

// True for a name of that form in any letter case.
bool IsTemporaryName(std::string_view name);

}  // namespace vorlintex
