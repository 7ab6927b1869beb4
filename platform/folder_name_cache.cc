#include "platform/folder_name_cache.h"

#include <dirent.h>
#include <sys/stat.h>

#include "contract/ascii.h"
#include "platform/temporary_name.h"

namespace vorlintex {
namespace {

bool NameExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
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

std::string PathIn(const std::string& key, std::string_view name) {
  std::string path = key;
  if (path.back() != '/') path += '/';
  path.append(name);
  return path;
}

}  // namespace

bool FolderStamp::operator==(const FolderStamp& other) const {
  return device == other.device && inode == other.inode &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

std::optional<FolderStamp> StampOf(const std::string& folder) {
  struct stat info;
  if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return std::nullopt;
  }
  return FolderStamp{info.st_dev, info.st_ino, info.st_mtim, info.st_ctim};
}

// A folder's times move in clock ticks of several milliseconds, so an entry added in the same
// tick as a read would not change the stamp: a read of a folder changed that recently is used
// once and read again next time. Entries this process creates are added as it creates them;
// another process creating a name in that folder within the same tick is an uncoordinated
// writer, and may be seen only on the folder's next change.
FolderNameCache::Answer FolderNameCache::Find(const std::string& folder, std::string_view name,
                                              Exact exact) {
  const std::string key = folder.empty() ? "." : folder;
  Answer answer;
  bool known = false;
  bool owner = false;  // the folder is owned
  bool owned = false;  // and its names are held
  FolderNameSet::Match match = FolderNameSet::Match::kNone;
  std::string spelling;
  {
    // An owned folder's names, once read, hold without its stamp.
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = folders_.find(key);
    owner = owned_.count(key) != 0 && !IsTemporaryName(name);
    owned = owner && it != folders_.end();
    if (owned) {
      known = true;
      answer.stamp = it->second.stamp;
      Touch(&it->second);
      match = it->second.names.Find(name, &spelling);
    }
  }
  if (!owned) {
    answer.stamp = StampOf(key);
    if (!answer.stamp) return answer;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = folders_.find(key);
    // Names of files in the making are not held: the folder itself is asked for them.
    if (it != folders_.end() && !it->second.recent && it->second.stamp == *answer.stamp &&
        !IsTemporaryName(name)) {
      known = true;
      Touch(&it->second);
      match = it->second.names.Find(name, &spelling);
    }
  }
  answer.kind = Answer::kNone;
  if (known && match == FolderNameSet::Match::kNone) return answer;
  // In an owned folder a name held as spelled is there: what is made at it finds out anyway.
  if (owned && match == FolderNameSet::Match::kSpelled && spelling == name) {
    answer.kind = Answer::kExact;
    return answer;
  }
  // An owned folder is read once, rather than asked for each name.
  if (!owner && exact == Exact::kUnchecked && NameExists(PathIn(key, name))) {
    answer.kind = Answer::kExact;
    return answer;
  }
  // A spelling from the hashes is taken as it is for a lookup, and checked before a file is
  // made under it: only a collision of two names' hashes could make it wrong.
  if (known && match == FolderNameSet::Match::kSpelled && spelling != name &&
      (exact == Exact::kMissing || NameExists(PathIn(key, spelling)))) {
    answer.kind = Answer::kOther;
    answer.spelling = std::move(spelling);
    return answer;
  }
  // Not known, changed, or not settled by the hashes. Read outside the lock; the stamp was
  // taken first, so a change during the read shows as a new stamp next time.
  std::optional<Scan> scan = ScanFolder(key, name);
  if (!scan) {
    answer.stamp.reset();
    return answer;
  }
  if (scan->exact) {
    answer.kind = Answer::kExact;
  } else if (scan->match) {
    answer.kind = Answer::kOther;
    answer.spelling = *scan->match;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto [it, added] = folders_.try_emplace(key);
  Folder& stored = it->second;
  if (added) {
    uses_.push_front(key);
    stored.use = uses_.begin();
  }
  stored.stamp = *answer.stamp;
  stored.recent = ChangedRecently(*answer.stamp);
  stored.names = std::move(scan->names);
  Touch(&stored);
  Account(&stored);
  KeepWithinBudget();
  return answer;
}

void FolderNameCache::NoteCreated(const std::string& folder, std::string_view name,
                                  const std::optional<FolderStamp>& before) {
  const std::string key = folder.empty() ? "." : folder;
  if (Owns(key)) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = folders_.find(key);
    if (it == folders_.end()) return;
    it->second.names.Add(name);
    Account(&it->second);
    KeepWithinBudget();
    return;
  }
  std::optional<FolderStamp> after = StampOf(key);
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = folders_.find(key);
  if (it == folders_.end()) return;
  Folder& known = it->second;
  if (!before || !after || !(known.stamp == *before)) {
    Erase(it);
    return;
  }
  known.names.Add(name);
  known.stamp = *after;
  known.recent = false;
  Account(&known);
  KeepWithinBudget();
}

void FolderNameCache::NoteNamesKept(const std::string& folder,
                                    const std::optional<FolderStamp>& before) {
  const std::string key = folder.empty() ? "." : folder;
  if (Owns(key)) return;
  std::optional<FolderStamp> after = StampOf(key);
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = folders_.find(key);
  if (it == folders_.end()) return;
  Folder& known = it->second;
  if (!before || !after || !(known.stamp == *before)) {
    Erase(it);
    return;
  }
  known.stamp = *after;
  known.recent = false;
}

void FolderNameCache::Own(const std::string& folder) {
  const std::string key = folder.empty() ? "." : folder;
  std::lock_guard<std::mutex> lock(mutex_);
  if (owned_[key]++ > 0) return;
  auto it = folders_.find(key);
  if (it != folders_.end()) Erase(it);
}

void FolderNameCache::Disown(const std::string& folder) {
  const std::string key = folder.empty() ? "." : folder;
  std::lock_guard<std::mutex> lock(mutex_);
  auto owner = owned_.find(key);
  if (owner == owned_.end() || --owner->second > 0) return;
  owned_.erase(owner);
  // What was noted under the turn is stamped no more: the next look reads the folder again.
  auto it = folders_.find(key);
  if (it != folders_.end()) Erase(it);
}

bool FolderNameCache::Owns(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  return owned_.count(folder.empty() ? "." : folder) != 0;
}

size_t FolderNameCache::MemoryBytes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return total_bytes_;
}

size_t FolderNameCache::FolderCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return folders_.size();
}

bool FolderNameCache::Knows(const std::string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  return folders_.count(folder.empty() ? "." : folder) != 0;
}

std::optional<FolderNameCache::Scan> FolderNameCache::ScanFolder(const std::string& key,
                                                                 std::string_view name) {
  DIR* dir = opendir(key.c_str());
  if (dir == nullptr) return std::nullopt;
  Scan scan;
  while (const dirent* entry = readdir(dir)) {
    std::string_view entry_name = entry->d_name;
    if (!IsTemporaryName(entry_name)) scan.names.Add(entry_name);
    if (!AsciiEqualIgnoringCase(entry_name, name)) continue;
    // An entry spelled exactly (a dangling link, which stat and open call missing) is the one.
    if (entry_name == name) scan.exact = true;
    // A POSIX folder may hold both "Page.asp" and "page.ASP": the least in byte order wins.
    if (!scan.match || entry_name < *scan.match) scan.match = std::string(entry_name);
  }
  closedir(dir);
  return scan;
}

void FolderNameCache::Account(Folder* folder) {
  total_bytes_ -= folder->bytes;
  // The key is held twice: in the map and in the list of uses.
  folder->bytes = sizeof(Folder) + 2 * folder->use->size() + folder->names.MemoryBytes();
  total_bytes_ += folder->bytes;
}

void FolderNameCache::Touch(Folder* folder) { uses_.splice(uses_.begin(), uses_, folder->use); }

void FolderNameCache::Erase(std::unordered_map<std::string, Folder>::iterator it) {
  total_bytes_ -= it->second.bytes;
  uses_.erase(it->second.use);
  folders_.erase(it);
}

void FolderNameCache::KeepWithinBudget() {
  // The folder in use is at the front of `uses_` and stays, however large.
  while (total_bytes_ > budget_bytes_ && uses_.size() > 1) Erase(folders_.find(uses_.back()));
}

}  // namespace vorlintex
