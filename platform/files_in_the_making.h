// Files in the making that runs killed midway left behind: a run writes each file under a
// temporary name (temporary_name.h) and renames it once whole, so a killed run leaves the
// temporary one, which no later run would otherwise ever take away.
#pragma once

#include <cstddef>
#include <string>

#include "contract/status.h"

namespace vorlintex {

class FolderNameCache;

// Env::RemoveFilesInTheMaking for the folder `path`, resolved with Windows name rules and the
// names in `folders`. A file in the making whose lock (taken by the file service when it made
// it) another holder has is still being written, and is kept.
Status RemovePosixFilesInTheMaking(FolderNameCache& folders, const std::string& path,
                                   size_t* removed);

}  // namespace vorlintex
