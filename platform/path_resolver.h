// Windows paths on POSIX. The pages come from sites written on Windows, whose file names ignore
// letter case ("Default.ASP" is read as "default.asp"), so a path resolves here as Windows
// would resolve it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vorlintex {

// `path` with "\" and "/" both taken as separators and empty parts dropped, joined by "/"; a
// leading separator stays. Nothing else (drive letters included) is touched.
std::string PosixPathSpelling(std::string_view path);

// PosixPathSpelling(path) with each part that does not exist with its exact spelling replaced by
// the entry of its folder equal to it without regard to ASCII letter case (the first in byte
// order when several are). The parts after one that matches nothing are kept as given, so the
// result names where a new file or folder of that name belongs.
std::string ResolveWindowsPath(std::string_view path);

// Runs `create`, which makes a file or folder at `resolved` (a result of ResolveWindowsPath) and
// returns false, errno set, when it fails. Later lookups in that folder then see the new entry
// without reading the folder again, unless something else changed the folder meanwhile.
bool CreateNoted(const std::string& resolved, const std::function<bool()>& create);

}  // namespace vorlintex
