#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "component/ascii.h"
#include "platform/wildcard.h"

namespace vorlintex {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

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

enum class EntryKind { kFile, kFolder, kOther };

// d_type answers for most entries without a stat; links and file systems that leave the type
// unknown are asked with a stat that follows the link.
EntryKind KindOf(const FolderStream& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry.d_type == DT_REG) return EntryKind::kFile;
  if (entry.d_type == DT_DIR) return EntryKind::kFolder;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return EntryKind::kOther;
#endif
  struct stat info;
  if (fstatat(folder.fd(), entry.d_name, &info, 0) != 0) return EntryKind::kOther;
  if (S_ISREG(info.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(info.st_mode)) return EntryKind::kFolder;
  return EntryKind::kOther;
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& folder, std::string_view part) {
  if (folder.empty()) return std::string(part);
  if (folder.back() == '/') return folder + std::string(part);
  return folder + "/" + std::string(part);
}

// The first sub-folder of `folder`, in listing order, whose name equals `part` without regard
// to ASCII case.
std::optional<std::string> FindFolderIgnoringCase(const std::string& folder,
                                                  std::string_view part) {
  FolderStream stream(folder.empty() ? "." : folder);
  if (!stream.ok()) return std::nullopt;
  std::vector<std::string> candidates;
  while (const dirent* entry = stream.Next()) {
    if (!AsciiEqualIgnoringCase(entry->d_name, part)) continue;
    if (KindOf(stream, *entry) == EntryKind::kFolder) candidates.emplace_back(entry->d_name);
  }
  if (candidates.empty()) return std::nullopt;
  SortAsWindowsListing(&candidates);
  return candidates.front();
}

}  // namespace

std::optional<std::string> ResolveFolderAsWindows(std::string_view folder) {
  // A NUL would cut the path short in every system call.
  if (folder.find('\0') != std::string_view::npos) return std::nullopt;
  std::string resolved = (!folder.empty() && IsSeparator(folder.front())) ? "/" : "";
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = start;
    while (end < folder.size() && !IsSeparator(folder[end])) ++end;
    const std::string_view part = folder.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    const std::string exact = Join(resolved, part);
    if (Exists(exact)) {
      resolved = exact;
      continue;
    }
    const std::optional<std::string> found = FindFolderIgnoringCase(resolved, part);
    if (!found) return std::nullopt;
    resolved = Join(resolved, *found);
  }
  return resolved.empty() ? "." : resolved;
}

std::vector<std::string> ListFolder(const std::string& pattern) {
  const ListingPattern split = SplitListingPattern(pattern);
  std::vector<std::string> names;
  const std::optional<std::string> folder = ResolveFolderAsWindows(split.folder);
  if (!folder) return names;
  FolderStream stream(*folder);
  if (!stream.ok()) return names;
  while (const dirent* entry = stream.Next()) {
    const std::string_view name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;
    // Match first: the stat that a link needs is then spent only on candidates.
    if (!MatchesWildcard(split.name, name)) continue;
    if (KindOf(stream, *entry) == EntryKind::kFile) names.emplace_back(name);
  }
  SortAsWindowsListing(&names);
  return names;
}

}  // namespace vorlintex
