// The folder listing through FindFirstFileA, with the order and filters of the POSIX listing
// (platform/folder_listing.h): the pattern is matched by the project's own wildcard rules, not
// by the system's, which also match short 8.3 names ("*.asp" would find "page.aspx").
#pragma once

#include <string>
#include <vector>

#include "contract/status.h"

namespace vorlintex {

// The names of the ordinary files that match `pattern`, folders and names beginning with "."
// left out, in Windows listing order. On failure *names is empty: NotFound when the folder
// does not exist or is not a folder, IOError when it cannot be read, InvalidArgument for a
// path holding a NUL.
Status ListWin32Folder(const std::string& pattern, std::vector<std::string>* names);

// The names of the folders directly inside `folder`, in Windows listing order; hidden ones and
// reparse points (links, junctions) left out, so that a walk down the listings ends. The
// failures of ListWin32Folder.
Status ListWin32Subfolders(const std::string& folder, std::vector<std::string>* names);

}  // namespace vorlintex
