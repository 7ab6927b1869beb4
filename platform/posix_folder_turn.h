// A folder's turn among processes on POSIX: an advisory lock (flock) on the folder itself, so
// no file of its own is left in the folder, and a holder killed midway lets go with its death.
#pragma once

#include <memory>
#include <string>

#include "contract/env.h"

namespace vorlintex {

class FolderNameCache;

// Env::TakeFolderTurn for the folder `path`, resolved with Windows name rules and the names in
// `folders`, which owns the folder while the turn is held (FolderNameCache::Own). Every open of
// the folder locks on its own, so two Envs of one process, as two processes, take turns.
Status TakePosixFolderTurn(std::shared_ptr<FolderNameCache> folders, const std::string& path,
                           bool wait, std::unique_ptr<FolderTurn>* turn);

}  // namespace vorlintex
