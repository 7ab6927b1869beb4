// How many files (and so connections) this process may have open at once.
#pragma once

#include <cstddef>

namespace vorlintex {

// Raises this process's limit on open file descriptors as far as it may go; the new limit.
size_t RaiseOpenFileLimit();

}  // namespace vorlintex
