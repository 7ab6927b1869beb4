// The platform on Windows: files, listing, registry and folders through the Win32 API.
#pragma once

#include <memory>

#include "contract/env.h"

namespace vorlintex {

std::unique_ptr<Env> NewWindowsEnv();

}  // namespace vorlintex
