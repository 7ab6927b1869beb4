// The text file service over the Win32 file API. Paths go to the system as the caller built
// them: it takes both separators and ignores letter case itself.
#pragma once

#include <memory>

#include "contract/text_file_service.h"

namespace vorlintex {

// A new file service object; cheap to make, and safe to use on one thread while other objects
// are used on others.
std::unique_ptr<fs::TextFileService> NewWin32FileService();

}  // namespace vorlintex
