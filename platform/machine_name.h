// The name this machine gives itself, by which other machines may address it.
#pragma once

#include <string>

#include "contract/status.h"

namespace vorlintex {

Status MachineName(std::string* name);

}  // namespace vorlintex
