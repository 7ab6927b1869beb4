// The text file service over the real file system, with Windows name rules (see
// platform/path_resolver.h).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "contract/text_file_service.h"

namespace vorlintex {

// A new file service object; cheap to make, and safe to use on one thread while other objects
// are used on others.
std::unique_ptr<fs::TextFileService> NewPosixFileService();

// A text equal for two paths exactly when they name the same existing folder (resolved with
// Windows name rules, links followed); nothing when `path` names no existing folder.
std::optional<std::string> PosixFolderIdentity(const std::string& path);

}  // namespace vorlintex
