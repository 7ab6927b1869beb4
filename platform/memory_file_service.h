// An in-memory file system with Windows name rules (both separators, ASCII case ignored),
// for the unit tests, the fuzzers and the fault tests. Any number of file service objects
// share one store. Operations can be told to fail.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "component/text_file_service.h"

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
  // Names of the ordinary files matching a folder path plus a wildcard pattern, in the order
  // of a Windows listing (as the real folder listing gives them).
  std::vector<std::string> ListFiles(const std::string& pattern) const;
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
};

}  // namespace vorlintex::fs
