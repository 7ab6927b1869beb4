// The status of a failed system call, from its errno: the code callers tell apart, and the
// system's own text as the reason.
#pragma once

#include <string>

#include "contract/status.h"

namespace vorlintex {

// The system's text for `error`, safe to call from several threads at once.
std::string ErrnoText(int error);

// NotFound for ENOENT and ENOTDIR, AlreadyExists for EEXIST, InvalidArgument for EINVAL,
// IOError for the rest.
Status ErrnoStatus(const std::string& path, int error);

}  // namespace vorlintex
