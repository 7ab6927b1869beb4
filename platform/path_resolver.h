// Windows paths on POSIX. The pages come from sites written on Windows, whose file names ignore
// letter case ("Default.ASP" is read as "default.asp"), so a path resolves here as Windows
// would resolve it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vorlintex {

// Each function that looks a folder's names up keeps them in `names`, the cache of the Env
// whose file service calls it (folder_name_cache.h).
class FolderNameCache;

// `path` with "\" and "/" both taken as separators and empty parts dropped, joined by "/"; a
// leading separator stays. Nothing else (drive letters included) is touched.
std::string PosixPathSpelling(std::string_view path);

// PosixPathSpelling(path) with each part that does not exist with its exact spelling replaced by
// the entry of its folder equal to it without regard to ASCII letter case (the first in byte
// order when several are). The parts after one that matches nothing are kept as given, so the
// result names where a new file or folder of that name belongs.
std::string ResolveWindowsPath(FolderNameCache& names, std::string_view path);

// ResolveWindowsPath(path) for a path whose exact spelling the caller just found missing (an
// open or stat failed with ENOENT or ENOTDIR): the same result, without asking again.
std::string ResolveMissingSpelling(FolderNameCache& names, std::string_view path);

// Resolves `path` as ResolveWindowsPath does and runs `create` on the result, which makes a
// file or folder there and returns false, errno set, when it fails. A new entry is noted, so
// later lookups in that folder see it without reading the folder again, unless something else
// changed the folder meanwhile.
bool CreateAtWindowsPath(FolderNameCache& names, std::string_view path,
                         const std::function<bool(const std::string& resolved)>& create);

// A file written under a temporary name (temporary_name.h) in the folder of the name it is to
// take, so that this name keeps its old file, or none, until the new one is whole.
struct FileInTheMaking {
  std::string path;       // the name it is to take, resolved as ResolveWindowsPath does
  std::string folder;     // the folder of both names ("" for the current folder)
  std::string temporary;  // the name it is written under
  // The ordinary file the name holds when the new file is made (a link there is not one):
  // its mode, of which the new file is to take the permission bits.
  bool replaces_file = false;
  unsigned replaced_mode = 0;
  unsigned replaced_owner = 0;  // its owner's user id
};

// Resolves `path` and creates a new file in the folder of the result under a fresh temporary
// name with `create`, which must refuse a name that exists (O_CREAT | O_EXCL) and returns false,
// errno set, when it fails; a name taken by chance is retried with another. EISDIR when the
// resolved name is a folder. `file` holds the resolved name, and what it replaces, before
// `create` is first called.
bool CreateBesideWindowsPath(FolderNameCache& names, std::string_view path,
                             const std::function<bool(const std::string& temporary)>& create,
                             FileInTheMaking* file);

// Renames the file in the making over its name: whatever had that name (a link included) is
// replaced, never followed. False, errno set, when it fails.
bool PutInPlace(FolderNameCache& names, const FileInTheMaking& file);

// Removes the file in the making, whose name it was never to keep. False, errno set, when it
// fails.
bool RemoveTemporary(FolderNameCache& names, const FileInTheMaking& file);

}  // namespace vorlintex
