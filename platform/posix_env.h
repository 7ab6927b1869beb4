// The platform on POSIX: the real file system with Windows name rules, the folder listing,
// the registry of a Wine prefix, and WINDIR.
#pragma once

#include <memory>

#include "contract/env.h"

namespace vorlintex {

std::unique_ptr<Env> NewPosixEnv();

}  // namespace vorlintex
