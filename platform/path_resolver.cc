#include "platform/path_resolver.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "platform/folder_name_cache.h"
#include "platform/temporary_name.h"
#include "platform/windows_path.h"

namespace vorlintex {
namespace {

bool NameExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// The stamp the cache's notes of a change are checked against; an owned folder's notes need
// none.
std::optional<FolderStamp> StampUnlessOwned(FolderNameCache& names, const std::string& folder) {
  if (names.Owns(folder)) return std::nullopt;
  return StampOf(folder);
}

void AppendPart(std::string* path, std::string_view part) {
  if (!path->empty() && path->back() != '/') *path += '/';
  path->append(part);
}

// The folder part of a POSIX path ("" for a bare name, "/" for an entry of the root).
std::string FolderOf(const std::string& path) {
  size_t cut = path.rfind('/');
  if (cut == std::string::npos) return std::string();
  return cut == 0 ? std::string("/") : path.substr(0, cut);
}

struct Resolution {
  std::string path;
  // Set when the last part names nothing yet in `folder`, an existing folder whose stamp
  // before the lookup was `folder_stamp`: a file made at `path` is a new entry there.
  bool new_entry = false;
  std::string folder;
  std::optional<FolderStamp> folder_stamp;
};

// `exact` is PosixPathSpelling(path), not empty; `exact_state` says whether the caller already
// found it missing.
Resolution Resolve(FolderNameCache& cache, std::string_view path, std::string exact,
                   FolderNameCache::Exact exact_state) {
  using Answer = FolderNameCache::Answer;
  Resolution resolution;
  std::vector<std::string_view> parts = SplitWindowsPath(path);
  if (parts.empty()) {
    resolution.path = std::move(exact);
    return resolution;
  }

  // The common case: the folder is spelled exactly, and one look at its stamp and names
  // settles the last part.
  std::string folder = FolderOf(exact);
  Answer answer = cache.Find(folder, parts.back(), exact_state);
  if (answer.kind != Answer::kNoFolder) {
    if (answer.kind == Answer::kOther) {
      resolution.path = folder;
      AppendPart(&resolution.path, answer.spelling);
    } else {
      resolution.path = std::move(exact);
      resolution.new_entry = answer.kind == Answer::kNone;
    }
    resolution.folder = std::move(folder);
    resolution.folder_stamp = answer.stamp;
    return resolution;
  }

  // A folder part in another letter case, or missing: each part in turn.
  std::string resolved = (exact.front() == '/') ? "/" : "";
  bool found_nothing = false;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string parent = resolved;
    AppendPart(&resolved, parts[i]);
    if (found_nothing || NameExists(resolved)) continue;
    answer = cache.Find(parent, parts[i], FolderNameCache::Exact::kMissing);
    if (answer.kind == Answer::kOther) {
      resolved = std::move(parent);
      AppendPart(&resolved, answer.spelling);
      continue;
    }
    if (answer.kind == Answer::kExact) continue;
    found_nothing = true;
    if (i + 1 == parts.size() && answer.kind == Answer::kNone) {
      resolution.new_entry = true;
      resolution.folder = std::move(parent);
      resolution.folder_stamp = answer.stamp;
    }
  }
  resolution.path = std::move(resolved);
  return resolution;
}

}  // namespace

std::string PosixPathSpelling(std::string_view path) {
  std::string spelled;
  spelled.reserve(path.size());
  if (!path.empty() && IsPathSeparator(path.front())) spelled.push_back('/');
  for (std::string_view part : SplitWindowsPath(path)) AppendPart(&spelled, part);
  return spelled;
}

std::string ResolveWindowsPath(FolderNameCache& names, std::string_view path) {
  std::string exact = PosixPathSpelling(path);
  // The common case: the path exists as spelled, and one lstat settles it.
  if (exact.empty() || NameExists(exact)) return exact;
  return Resolve(names, path, std::move(exact), FolderNameCache::Exact::kMissing).path;
}

std::string ResolveMissingSpelling(FolderNameCache& names, std::string_view path) {
  std::string exact = PosixPathSpelling(path);
  if (exact.empty()) return exact;
  return Resolve(names, path, std::move(exact), FolderNameCache::Exact::kMissing).path;
}

bool CreateAtWindowsPath(FolderNameCache& names, std::string_view path,
                         const std::function<bool(const std::string& resolved)>& create) {
  std::string exact = PosixPathSpelling(path);
  if (exact.empty()) return create(exact);
  // A new name in a folder whose names are known needs no lstat: the names rule it out.
  Resolution resolution =
      Resolve(names, path, std::move(exact), FolderNameCache::Exact::kUnchecked);
  if (!create(resolution.path)) return false;
  if (resolution.new_entry) {
    size_t cut = resolution.path.rfind('/');
    size_t start = cut == std::string::npos ? 0 : cut + 1;
    std::string_view name = std::string_view(resolution.path).substr(start);
    names.NoteCreated(resolution.folder, name, resolution.folder_stamp);
  }
  return true;
}

bool CreateBesideWindowsPath(FolderNameCache& names, std::string_view path,
                             const std::function<bool(const std::string& temporary)>& create,
                             FileInTheMaking* file) {
  std::string exact = PosixPathSpelling(path);
  if (exact.empty()) {
    errno = ENOENT;
    return false;
  }
  Resolution resolution =
      Resolve(names, path, std::move(exact), FolderNameCache::Exact::kUnchecked);
  file->path = std::move(resolution.path);
  file->folder = FolderOf(file->path);
  // In a folder this run owns, a name its listing lacks is new: no file there to look at.
  const bool known_new = resolution.new_entry && names.Owns(resolution.folder);
  struct stat info;
  if (!known_new && lstat(file->path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      errno = EISDIR;
      return false;
    }
    file->replaces_file = S_ISREG(info.st_mode);
    file->replaced_mode = info.st_mode;
    file->replaced_owner = info.st_uid;
  }
  // Sixteen random digits make a taken name all but impossible; a few tries end any doubt.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string name;
    if (!NewTemporaryName(&name).ok()) {
      errno = EIO;
      return false;
    }
    file->temporary = file->folder;
    AppendPart(&file->temporary, name);
    std::optional<FolderStamp> before = StampUnlessOwned(names, file->folder);
    if (create(file->temporary)) {
      names.NoteNamesKept(file->folder, before);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool PutInPlace(FolderNameCache& names, const FileInTheMaking& file) {
  std::optional<FolderStamp> before = StampUnlessOwned(names, file.folder);
  if (rename(file.temporary.c_str(), file.path.c_str()) != 0) return false;
  size_t cut = file.path.rfind('/');
  std::string_view name =
      std::string_view(file.path).substr(cut == std::string::npos ? 0 : cut + 1);
  names.NoteCreated(file.folder, name, before);
  return true;
}

bool RemoveTemporary(FolderNameCache& names, const FileInTheMaking& file) {
  std::optional<FolderStamp> before = StampUnlessOwned(names, file.folder);
  if (unlink(file.temporary.c_str()) != 0) return false;
  names.NoteNamesKept(file.folder, before);
  return true;
}

}  // namespace vorlintex
