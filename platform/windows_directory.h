// The Windows directory on POSIX, where no Windows is installed: what WINDIR says, as under
// Wine, else the usual "C:\WINDOWS".
#pragma once

#include <string>

namespace vorlintex {

// The value of the environment variable WINDIR when it is set, else "C:\WINDOWS"; without a
// trailing separator.
std::string WindowsDirectory();

}  // namespace vorlintex
