// Test support: an Env over any other that counts the file operations of the file service
// objects it makes and of their streams, and fails those it is told to, as a failing disk or a
// missing class would. Everything else goes to the Env underneath unchanged. A failed write, or
// a failed close of a written file, leaves the name with the file it had, as on disk: the
// stream underneath is abandoned.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/env.h"

namespace vorlintex {

// The file operations counted: each folder create, file create, open, line read, line written
// and close. FileExists and Abandon are not counted, nor is anything the Env itself does.
enum class FileOperation { kCreateFolder, kCreate, kOpen, kRead, kWrite, kClose };

class FaultInjectionEnv : public Env {
 public:
  // Over `base`, which must outlive it; the services and streams it hands out may outlive it.
  explicit FaultInjectionEnv(Env& base);
  ~FaultInjectionEnv() override;

  // Every `op` on `path` fails from now on with the reason "injected failure". Paths are
  // compared as Windows compares them: either separator, ASCII letter case ignored.
  void FailOn(FileOperation op, const std::string& path);
  // The `n`-th operation counted from now (1-based, of any kind and on any path) fails.
  void FailNthOperation(long n);
  // Operations counted so far.
  long OperationCount() const;
  // NewFileService fails from now on, with `reason`.
  void FailNewFileService(std::string reason);

  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override;
  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) override;
  Status ListFolders(const std::string& folder, std::vector<std::string>* names) override;
  std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) override;
  std::string WindowsDirectory() override;
  std::optional<std::string> FolderIdentity(const std::string& path) override;
  std::string DisplayPath(const std::string& path) const override;
  Status TakeFolderTurn(const std::string& path, bool wait,
                        std::unique_ptr<FolderTurn>* turn) override;
  Status RemoveFilesInTheMaking(const std::string& path, size_t* removed) override;
  std::string DisplayPathAsOnDisk(const std::string& path) override;

  // The rules and the count, shared with the services and streams.
  class Faults;

 private:
  Env& base_;
  std::shared_ptr<Faults> faults_;
  std::optional<std::string> new_service_failure_;
};

}  // namespace vorlintex
