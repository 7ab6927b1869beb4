// Files in the making that runs killed midway left in a folder, on Windows.
#pragma once

#include <cstddef>
#include <string>

#include "contract/status.h"

namespace vorlintex {

// Env::RemoveFilesInTheMaking for the folder `path`: a file in the making is removed only when
// no program has it open, which the writer of one still in the making has.
Status RemoveWin32FilesInTheMaking(const std::string& path, size_t* removed);

}  // namespace vorlintex
