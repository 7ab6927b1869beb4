// The folder listing on POSIX, with the name rules of a Windows listing: both separators, path
// parts and names matched without regard to ASCII case, hidden files left out.
#pragma once

#include <string>
#include <vector>

#include "contract/status.h"

namespace vorlintex {

class FolderNameCache;

// The names (no folder) of the ordinary files that match `pattern`, a folder path followed by
// a file name pattern with "*" and "?", in Windows listing order. Folders and hidden files
// (names beginning with ".") are left out; links to ordinary files count. The folder part is
// resolved as the file service resolves paths (platform/path_resolver.h); an empty one is the
// current folder. On failure *names is empty: NotFound when the folder does not exist or is
// not a folder, IOError when it cannot be read, InvalidArgument for a path holding a NUL.
// `folders` is the cache the path is resolved with.
Status ListFolder(FolderNameCache& folders, const std::string& pattern,
                  std::vector<std::string>* names);

// The names of the folders directly inside `folder`, in Windows listing order; hidden ones
// and links to folders left out (a walk down the listings must end). The failures of
// ListFolder.
Status ListSubfolders(FolderNameCache& folders, const std::string& folder,
                      std::vector<std::string>* names);

}  // namespace vorlintex
