// Identifiers no one can guess: 128 bits from the operating system's random source.
#pragma once

#include <string>

#include "contract/status.h"

namespace vorlintex {

// 128 random bits as 32 lower-case hexadecimal digits. Fails only when the operating system
// cannot give random bytes.
Status NewRandomId(std::string* id);

}  // namespace vorlintex
