// The platform on POSIX: the real file system with Windows name rules, the folder listing,
// the registry of a Wine prefix, and WINDIR.
#pragma once

#include <memory>

#include "contract/env.h"

namespace vorlintex {

// Each Env keeps the folder names it looks up for itself and the file service objects it makes
// (folder_name_cache.h); two Envs share nothing.
std::unique_ptr<Env> NewPosixEnv();

}  // namespace vorlintex
