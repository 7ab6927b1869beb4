// An in-memory file system with Windows name rules (both separators, ASCII case ignored),
// for the unit tests, the fuzzers and the fault tests. Any number of file service objects
// share one store. Operations can be told to fail.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "contract/text_file_service.h"

namespace vorlintex::fs {

enum class Operation { kCreateFolder, kCreate, kOpen, kRead, kWrite, kClose };

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
  // Every file path in the store, for comparing whole trees in tests.
  std::vector<std::string> AllFiles() const;

  // Every `op` on `path` fails from now on (with the reason "injected failure").
  void FailOn(Operation op, const std::string& path);
  // The `n`-th file operation counted from now (1-based, of any kind and on any path) fails.
  void FailNthOperation(long n);
  // File operations done so far (create folder, create, open, each line read, each line
  // written, close).
  long OperationCount() const;

  // A new file service object over this store.
  std::unique_ptr<TextFileService> NewService();

 private:
  friend class MemoryFileService;
  friend class MemoryTextStream;

  struct Node {
    bool folder = false;
    std::string spelling;                   // the full path as stored, parts joined by "\"
    std::shared_ptr<std::string> contents;  // files only
  };

  // The operations of the service objects and streams; each one is counted.
  Status DoCreateFolder(const std::string& path);
  // Checks that a file can be made at `path`; it appears there only when DoPutInPlace gives it
  // its contents, as a whole file takes its name on disk when closed.
  Status DoCreateFile(const std::string& path);
  Status DoPutInPlace(const std::string& path, std::string contents);
  Status DoOpen(const std::string& path, std::string* contents);
  bool DoFileExists(const std::string& path) const;
  // Counts one stream operation on the file with lookup key `key` and fails it when told to.
  Status CountStreamOperation(Operation op, const std::string& key, const std::string& path);

  // Counts one operation; an injected failure when this one is to fail. Lock held.
  Status CountLocked(Operation op, const std::string& key, const std::string& path);
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
  std::set<std::pair<Operation, std::string>> fail_on_;
  std::set<long> fail_at_;  // operation numbers (1-based, since the store was made)
  long operation_count_ = 0;
};

}  // namespace vorlintex::fs
