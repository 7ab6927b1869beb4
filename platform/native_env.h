// The platform of the system the program was built for: POSIX or Windows.
#pragma once

#include <memory>

#include "contract/env.h"

namespace vorlintex {

std::unique_ptr<Env> NewNativeEnv();

// Makes standard output and error pass bytes as written: the pages' CR LF line ends would
// otherwise gain a CR on Windows.
void UseBinaryStandardStreams();

}  // namespace vorlintex
