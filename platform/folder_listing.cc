#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/errno_status.h"
#include "platform/path_resolver.h"
#include "platform/wildcard.h"

namespace vorlintex {
namespace {

// Closes the folder stream on every way out of a scan.
class FolderStream {
 public:
  explicit FolderStream(const std::string& path) : dir_(opendir(path.c_str())) {}
  ~FolderStream() {
    if (dir_ != nullptr) closedir(dir_);
  }
  FolderStream(const FolderStream&) = delete;
  FolderStream& operator=(const FolderStream&) = delete;

  bool ok() const { return dir_ != nullptr; }
  int fd() const { return dirfd(dir_); }
  const dirent* Next() { return readdir(dir_); }

 private:
  DIR* dir_;
};

// d_type answers for most entries without a stat; links and file systems that leave the type
// unknown are asked with a stat that follows the link.
bool IsOrdinaryFile(const FolderStream& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return entry.d_type == DT_REG;
#endif
  struct stat info;
  return fstatat(folder.fd(), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

// A folder itself, not a link to one: d_type answers unless the file system leaves it unknown.
bool IsPlainFolder(const FolderStream& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
#endif
  struct stat info;
  return fstatat(folder.fd(), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISDIR(info.st_mode);
}

enum class Wanted { kFiles, kFolders };

Status List(FolderNameCache& folders, const std::string& pattern, Wanted wanted,
            std::vector<std::string>* names) {
  const ListingPattern split = SplitListingPattern(pattern);
  names->clear();
  // A NUL would cut the path short in every system call, and so list some other folder.
  if (split.folder.find('\0') != std::string::npos) {
    return Status::InvalidArgument(split.folder, "the path holds a NUL byte");
  }
  const std::string folder = ResolveWindowsPath(folders, split.folder);
  FolderStream stream(folder.empty() ? "." : folder);
  if (!stream.ok()) {
    return ErrnoStatus(split.folder, errno);
  }
  while (const dirent* entry = stream.Next()) {
    const std::string_view name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;
    // Match first: the stat that a link needs is then spent only on candidates.
    if (!MatchesWildcard(split.name, name)) continue;
    const bool kept =
        wanted == Wanted::kFiles ? IsOrdinaryFile(stream, *entry) : IsPlainFolder(stream, *entry);
    if (kept) names->emplace_back(name);
  }
  SortAsWindowsListing(names);
  return Status::OK();
}

}  // namespace

Status ListFolder(FolderNameCache& folders, const std::string& pattern,
                  std::vector<std::string>* names) {
  return List(folders, pattern, Wanted::kFiles, names);
}

Status ListSubfolders(FolderNameCache& folders, const std::string& folder,
                      std::vector<std::string>* names) {
  return List(folders, folder + "\\*", Wanted::kFolders, names);
}

}  // namespace vorlintex
