// Paths with Windows name rules: "\" and "/" both separate parts, empty parts are skipped, and
// names are equal without regard to ASCII letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlintex {

// True for "\" and "/".
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The non-empty parts of `path`, in order ("a\\b/" gives "a", "b").
std::vector<std::string_view> SplitWindowsPath(std::string_view path);

// The lookup key of `path`: its parts lower-cased (ASCII) and joined by "\", "." parts dropped
// and each ".." taking away the part before it, as Windows resolves a path before it looks
// (a ".." at the top is dropped). Two paths name the same file under Windows name rules
// exactly when their keys are equal.
std::string WindowsPathKey(std::string_view path);

}  // namespace vorlintex
