// The text file service over the real file system, with Windows name rules (see
// platform/path_resolver.h).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "contract/text_file_service.h"

namespace vorlintex {

class FolderNameCache;

// A new file service object that resolves paths with the folder names kept in `folders`
// (the cache of the Env that makes it), which it and its streams hold on to; cheap to make,
// and safe to use on one thread while other objects are used on others.
std::unique_ptr<fs::TextFileService> NewPosixFileService(std::shared_ptr<FolderNameCache> folders);

// A text equal for two paths exactly when they name the same existing folder (resolved with
// Windows name rules and the names in `folders`, links followed); nothing when `path` names no
// existing folder.
std::optional<std::string> PosixFolderIdentity(FolderNameCache& folders, const std::string& path);

}  // namespace vorlintex
