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

}  // namespace vorlintex
