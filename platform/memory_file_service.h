// An in-memory file system with Windows name rules (both separators, ASCII case ignored),
// for the unit tests, the fuzzers and the benchmarks. Any number of file service objects share
// one store. Faults are injected over it, as over any platform, by FaultInjectionEnv.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contract/env.h"
#include "contract/text_file_service.h"
#include "platform/memory_folder_turns.h"
#include "platform/wildcard.h"

namespace vorlintex::fs {

class MemoryFileSystem : public std::enable_shared_from_this<MemoryFileSystem> {
 public:
  static std::shared_ptr<MemoryFileSystem> Create();

  // Adds a file with these bytes (replacing one of that name), creating its folders.
  void AddFile(const std::string& path, std::string contents);
  void AddFolder(const std::string& path);
  // The bytes of the file at `path`, nothing when there is none.
  std::optional<std::string> Contents(const std::string& path) const;
  bool FolderExists(const std::string& path) const;
  // `path` joined by "\", each part that exists spelled as stored; the parts from the first
  // missing one kept as given.
  std::string Spelling(const std::string& path) const;
  // Names of the ordinary files matching a folder path plus a wildcard pattern, in the order
  // of a Windows listing (as the real folder listing gives them).
  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) const;
  // Names of the folders directly inside `folder`, as Env::ListFolders gives them.
  Status ListFolders(const std::string& folder, std::vector<std::string>* names) const;
  // Every file path in the store, for comparing whole trees in tests.
  std::vector<std::string> AllFiles() const;

  // From now on a file of that name is read-only: a create fails, and the file is kept.
  void MakeReadOnly(const std::string& path);
  // Removes the files of the folder `path` named as files in the making (temporary_name.h),
  // which a test puts there as a killed run on disk would leave them (the store's own files in
  // the making never show): Env::RemoveFilesInTheMaking.
  Status RemoveFilesInTheMaking(const std::string& path, size_t* removed);
  // The turns of this store's folders, which every Env over it shares.
  MemoryFolderTurns& turns() { return *turns_; }
  // A new file service object over this store.
  std::unique_ptr<TextFileService> NewService();

 private:
  friend class MemoryFileService;
  friend class MemoryTextStream;

  struct Node {
    bool folder = false;
    std::string spelling;                   // the full path as stored, parts joined by "\"
    std::shared_ptr<std::string> contents;  // files only
    bool read_only = false;                 // files only
  };

  // ListFiles (`folders` false) or ListFolders (`folders` true) of the pattern.
  Status ListLocked(const ListingPattern& split, bool folders,
                    std::vector<std::string>* names) const;

  // The operations of the service objects and streams.
  Status DoCreateFolder(const std::string& path);
  // Checks that a file can be made at `path`; it appears there only when DoPutInPlace gives it
  // its contents, as a whole file takes its name on disk when closed.
  Status DoCreateFile(const std::string& path);
  Status DoPutInPlace(const std::string& path, std::string contents);
  Status DoOpen(const std::string& path, std::string* contents);
  bool DoFileExists(const std::string& path) const;
  // OK when a file may take the name `key`: none there or a file, in an existing folder.
  Status CanTakeFileLocked(const std::string& key, const std::string& path) const;
  // Makes the folder `key` and its missing parents. Lock held.
  void AddFolderLocked(const std::string& path);
  const Node* FindLocked(const std::string& key) const;
  // The failure for `key`, which names nothing: NotFound, saying "Not a directory" when the
  // nearest of its folders that exists is a file, as the system says.
  Status MissingLocked(const std::string& key, const std::string& path) const;
  // The folder that holds `key` exists (the root always does). Lock held.
  bool ParentIsFolderLocked(const std::string& key) const;
  std::string ChildSpellingLocked(const std::string& key, std::string_view name) const;

  mutable std::mutex mutex_;
  std::map<std::string, Node> nodes_;  // by lookup key
  const std::shared_ptr<MemoryFolderTurns> turns_ = MemoryFolderTurns::Create();
};

}  // namespace vorlintex::fs
