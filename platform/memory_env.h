// The platform in memory, for tests: files, listings and folder turns from a MemoryFileSystem,
// a registry value and a Windows directory set by the test.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "contract/env.h"
#include "platform/memory_file_service.h"

namespace vorlintex {

class MemoryEnv : public Env {
 public:
  explicit MemoryEnv(std::shared_ptr<fs::MemoryFileSystem> files);

  // What ClassesRootDefaultValue gives for `subkey` (nothing unless set).
  void SetClassesRootDefaultValue(const std::string& subkey, std::optional<std::string> value);
  void SetWindowsDirectory(std::string directory);

  fs::MemoryFileSystem& files() { return *files_; }

  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override;
  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) override;
  Status ListFolders(const std::string& folder, std::vector<std::string>* names) override;
  std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) override;
  std::string WindowsDirectory() override;
  std::optional<std::string> FolderIdentity(const std::string& path) override;
  // Turns held among every MemoryEnv over the same store, as among processes over one disk.
  Status TakeFolderTurn(const std::string& path, bool wait,
                        std::unique_ptr<FolderTurn>* turn) override;
  Status RemoveFilesInTheMaking(const std::string& path, size_t* removed) override;
  std::string DisplayPath(const std::string& path) const override;
  std::string DisplayPathAsOnDisk(const std::string& path) override;

 private:
  std::shared_ptr<fs::MemoryFileSystem> files_;
  std::map<std::string, std::optional<std::string>> registry_;
  std::string windows_directory_ = "C:\\WINDOWS";
};

}  // namespace vorlintex
