// The names of folders looked up without regard to letter case, kept between lookups while the
// folder stays the same. Without it a run that writes thousands of files into one folder would
// read that whole folder again for every new file. Each POSIX Env has one cache, which every
// file service object it makes shares, so the service object made for each include directive
// finds the source folder already read, and the page host's runs on different folders use it
// side by side; nothing is kept for the process as a whole.
#pragma once

#include <sys/types.h>
#include <time.h>

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/folder_name_set.h"

namespace vorlintex {

// What identifies one state of a folder's entries: any entry added, removed or renamed changes
// the folder's modification and change times.
struct FolderStamp {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified = {};
  timespec changed = {};

  bool operator==(const FolderStamp& other) const;
};

// The stamp of the folder at `folder` ("" is the current folder); nothing when it is not an
// existing folder.
std::optional<FolderStamp> StampOf(const std::string& folder);

// Safe to use from several threads at once.
class FolderNameCache {
 public:
  // Enough for the names of several folders of some hundred thousand entries; a long-lived
  // page host that sees many folders keeps no more than this.
  static constexpr size_t kDefaultBudgetBytes = 8 << 20;

  // Folders used least recently are let go once the cache takes more than `budget_bytes`;
  // the folder in use is always kept.
  explicit FolderNameCache(size_t budget_bytes = kDefaultBudgetBytes)
      : budget_bytes_(budget_bytes) {}
  FolderNameCache(const FolderNameCache&) = delete;
  FolderNameCache& operator=(const FolderNameCache&) = delete;

  enum class Exact {
    kMissing,    // the caller found that `folder`/`name` does not exist as spelled
    kUnchecked,  // not asked yet: asked only when the folder's names cannot rule it out
  };
  struct Answer {
    enum Kind {
      kNoFolder,  // `folder` is not an existing folder as spelled
      kNone,      // no entry equal to `name` without regard to ASCII case
      kExact,     // `name` exists as spelled
      kOther,     // `spelling` is the entry, the least in byte order when there are several
    } kind = kNoFolder;
    std::string spelling;
    // The folder's stamp the answer rests on, for NoteCreated.
    std::optional<FolderStamp> stamp;
  };

  // Looks `name` up in `folder` ("" is the current folder; "/" the root) without regard to
  // ASCII case.
  Answer Find(const std::string& folder, std::string_view name, Exact exact);

  // Records that this process made `name` in `folder`, whose stamp an answer of Find gave as
  // `before`, so the folder need not be read again; unless something else changed it meanwhile.
  void NoteCreated(const std::string& folder, std::string_view name,
                   const std::optional<FolderStamp>& before);
  // Records that this process changed `folder` (stamp `before`) only by making or removing a
  // file in the making (temporary_name.h), whose names the cache does not hold.
  void NoteNamesKept(const std::string& folder, const std::optional<FolderStamp>& before);

  // While this process holds a folder's turn (posix_folder_turn.h) no other run writes into
  // it, and the run owns it: its names, once read, are trusted without asking its stamp again,
  // and what this process makes or removes there is noted without asking either. Owning forgets
  // what was read before, so the names trusted are read under the turn. Nested owners count.
  void Own(const std::string& folder);
  void Disown(const std::string& folder);
  bool Owns(const std::string& folder);

  // For tests and measurements.
  size_t MemoryBytes();
  size_t FolderCount();
  // Whether the names of `folder` are held (current or not).
  bool Knows(const std::string& folder);

 private:
  struct Folder {
    FolderStamp stamp;
    bool recent = false;  // changed too recently for the stamp to show the next change
    FolderNameSet names;
    std::list<std::string>::iterator use;  // its place in `uses_`
    size_t bytes = 0;
  };
  struct Scan {
    FolderNameSet names;
    std::optional<std::string> match;
    bool exact = false;
  };

  static std::optional<Scan> ScanFolder(const std::string& key, std::string_view name);
  void Account(Folder* folder);
  void Touch(Folder* folder);
  void Erase(std::unordered_map<std::string, Folder>::iterator it);
  void KeepWithinBudget();

  const size_t budget_bytes_;
  std::mutex mutex_;
  std::unordered_map<std::string, Folder> folders_;
  std::list<std::string> uses_;                 // keys of `folders_`, most recently used first
  std::unordered_map<std::string, int> owned_;  // keys of owned folders, and their owners
  size_t total_bytes_ = 0;
};

}  // namespace vorlintex
