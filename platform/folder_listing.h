// The folder listing on POSIX, with the name rules of a Windows listing: both separators, path
// parts and names matched without regard to ASCII case, hidden files left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex {

// The names (no folder) of the ordinary files that match `pattern`, a folder path followed by
// a file name pattern with "*" and "?", in Windows listing order. Folders and hidden files
// (names beginning with ".") are left out; links to ordinary files count. Empty when the
// folder does not exist or cannot be read.
std::vector<std::string> ListFolder(const std::string& pattern);

// The POSIX path of the existing folder that `folder` names when read as Windows would: "\" and
// "/" both separate parts, empty parts are skipped, and a part that does not exist with its
// exact spelling stands for the first sub-folder, in Windows listing order, whose name equals
// it without regard to ASCII case. An empty `folder` is the current folder ("."). Nothing when
// some part cannot be found.
std::optional<std::string> ResolveFolderAsWindows(std::string_view folder);

}  // namespace vorlintex
