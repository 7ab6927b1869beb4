#include "platform/path_resolver.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "component/ascii.h"
#include "platform/windows_path.h"

namespace vorlintex {
namespace {

bool NameExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void AppendPart(std::string* path, std::string_view part) {
  if (!path->empty() && path->back() != '/') *path += '/';
  path->append(part);
}

// What identifies one state of a folder's entries: any entry added, removed or renamed changes
// the folder's modification and change times.
struct FolderStamp {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified = {};
  timespec changed = {};

  bool operator==(const FolderStamp& other) const {
    return device == other.device && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
};

std::optional<FolderStamp> StampOf(const std::string& folder) {
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return FolderStamp{info.st_dev, info.st_ino, info.st_mtim, info.st_ctim};
}

// True when the folder's times are within a few clock ticks of now, so a change right after
// could leave them as they are.
bool ChangedRecently(const FolderStamp& stamp) {
  constexpr long kMargin = 50'000'000;  // nanoseconds, several ticks of the coarse clock
  timespec now;
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return true;
  auto nanoseconds = [](const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
  };
  long long limit = nanoseconds(now) - kMargin;
  return nanoseconds(stamp.modified) >= limit || nanoseconds(stamp.changed) >= limit;
}

// The entries of folders looked up without regard to case, by lower-cased name, kept while the
// folder's stamp stays the same. Without it a run that writes thousands of files into one
// folder would read that whole folder again for every new file. The process shares one cache,
// so the service object made for each include directive finds the source folder already read.
// A folder's times move in clock ticks of several milliseconds, so an entry added in the same
// tick as a read would not change the stamp: a read of a folder changed that recently is used
// once and read again next time. Entries this process creates are added as it creates them (a
// run writes many files into one folder); another process creating a name in that folder
// within the same tick is an uncoordinated writer, and may be seen only on the folder's next
// change.
class FolderNameCache {
 public:
  static FolderNameCache& Instance() {
    static FolderNameCache* cache = new FolderNameCache();
    return *cache;
  }

  // The entry of `folder` equal to `name` without regard to ASCII case; the least in byte
  // order when there are several (a POSIX folder may hold both "Page.asp" and "page.ASP").
  std::optional<std::string> Find(const std::string& folder, std::string_view name) {
    std::string key = folder.empty() ? "." : folder;
    std::optional<FolderStamp> stamp = StampOf(key);
    if (!stamp) return std::nullopt;
    std::string name_key = AsciiLower(name);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = folders_.find(key);
      if (it != folders_.end() && !it->second.recent && it->second.stamp == *stamp) {
        return Lookup(it->second, name_key);
      }
    }
    // Read outside the lock; the stamp was taken first, so a change during the read shows as
    // a new stamp next time.
    Folder read;
    read.stamp = *stamp;
    read.recent = ChangedRecently(*stamp);
    DIR* dir = opendir(key.c_str());
    if (dir == nullptr) return std::nullopt;
    while (const dirent* entry = readdir(dir)) AddName(&read, entry->d_name);
    closedir(dir);
    std::optional<std::string> found = Lookup(read, name_key);
    std::lock_guard<std::mutex> lock(mutex_);
    if (folders_.size() >= kMaxFolders) folders_.clear();
    folders_[key] = std::move(read);
    return found;
  }

  // Records that this process made `name` in `folder`, whose stamp just before was `before`,
  // so the folder need not be read again; unless something else changed it meanwhile.
  void NoteCreated(const std::string& folder, std::string_view name,
                   const std::optional<FolderStamp>& before) {
    std::string key = folder.empty() ? "." : folder;
    std::optional<FolderStamp> after = StampOf(key);
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = folders_.find(key);
    if (it == folders_.end()) return;
    if (!before || !after || !(it->second.stamp == *before)) {
      folders_.erase(it);
      return;
    }
    AddName(&it->second, name);
    it->second.stamp = *after;
    it->second.recent = false;
  }

 private:
  static constexpr size_t kMaxFolders = 1024;

  struct Folder {
    FolderStamp stamp;
    bool recent = false;  // changed too recently for the stamp to show the next change
    std::unordered_map<std::string, std::string> by_key;  // lower-cased name -> entry name
  };

  static void AddName(Folder* folder, std::string_view name) {
    auto [it, added] = folder->by_key.try_emplace(AsciiLower(name), name);
    if (!added && name < it->second) it->second = std::string(name);
  }

  static std::optional<std::string> Lookup(const Folder& folder, const std::string& name_key) {
    auto it = folder.by_key.find(name_key);
    if (it == folder.by_key.end()) return std::nullopt;
    return it->second;
  }

  std::mutex mutex_;
  std::unordered_map<std::string, Folder> folders_;
};

// The folder part of a POSIX path ("" for a bare name, "/" for an entry of the root).
std::string FolderOf(const std::string& path) {
  size_t cut = path.rfind('/');
  if (cut == std::string::npos) return std::string();
  return cut == 0 ? std::string("/") : path.substr(0, cut);
}

}  // namespace

std::string PosixPathSpelling(std::string_view path) {
  std::string spelled;
  spelled.reserve(path.size());
  if (!path.empty() && IsPathSeparator(path.front())) spelled.push_back('/');
  for (std::string_view part : SplitWindowsPath(path)) AppendPart(&spelled, part);
  return spelled;
}

std::string ResolveWindowsPath(std::string_view path) {
  std::string exact = PosixPathSpelling(path);
  // The common case: the path exists as spelled, and one lstat settles it.
  if (exact.empty() || NameExists(exact)) return exact;
  std::vector<std::string_view> parts = SplitWindowsPath(path);
  if (parts.empty()) return exact;

  // Next most common: a new file, or one in another case, in a folder spelled exactly.
  std::string folder = FolderOf(exact);
  if (folder.empty() || NameExists(folder)) {
    std::optional<std::string> match = FolderNameCache::Instance().Find(folder, parts.back());
    if (!match) return exact;
    AppendPart(&folder, *match);
    return folder;
  }

  std::string resolved = (exact.front() == '/') ? "/" : "";
  bool found_nothing = false;
  for (std::string_view part : parts) {
    std::string parent = resolved;
    AppendPart(&resolved, part);
    if (found_nothing || NameExists(resolved)) continue;
    std::optional<std::string> match = FolderNameCache::Instance().Find(parent, part);
    if (!match) {
      found_nothing = true;
      continue;
    }
    resolved = std::move(parent);
    AppendPart(&resolved, *match);
  }
  return resolved;
}

bool CreateNoted(const std::string& resolved, const std::function<bool()>& create) {
  std::string folder = FolderOf(resolved);
  std::optional<FolderStamp> before = StampOf(folder.empty() ? "." : folder);
  if (!create()) return false;
  size_t cut = resolved.rfind('/');
  std::string_view name = std::string_view(resolved).substr(cut == std::string::npos ? 0 : cut + 1);
  FolderNameCache::Instance().NoteCreated(folder, name, before);
  return true;
}

}  // namespace vorlintex
