// Win32 error codes as statuses. The reasons are the texts the POSIX platform gives for the
// same faults, so that a run's report reads the same on both.
#pragma once

#include <string>

#include "contract/status.h"

namespace vorlintex {

// The status of the Win32 error `error` (a GetLastError value) met on `path`.
Status Win32Status(const std::string& path, unsigned long error);

// The status a stream gives once it is closed or used the wrong way round.
Status BadHandleStatus(const std::string& path);

// The status of a path holding a NUL byte, which every Win32 call would cut short.
Status NulInPathStatus(const std::string& path);

}  // namespace vorlintex
