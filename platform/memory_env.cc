#include "platform/memory_env.h"

#include <utility>

#include "platform/windows_path.h"

namespace vorlintex {

MemoryEnv::MemoryEnv(std::shared_ptr<fs::MemoryFileSystem> files) : files_(std::move(files)) {}

void MemoryEnv::SetClassesRootDefaultValue(const std::string& subkey,
                                           std::optional<std::string> value) {
  registry_[subkey] = std::move(value);
}

void MemoryEnv::SetWindowsDirectory(std::string directory) {
  windows_directory_ = std::move(directory);
}

Status MemoryEnv::NewFileService(std::unique_ptr<fs::TextFileService>* service) {
  *service = files_->NewService();
  return Status::OK();
}

Status MemoryEnv::ListFiles(const std::string& pattern, std::vector<std::string>* names) {
  return files_->ListFiles(pattern, names);
}

Status MemoryEnv::ListFolders(const std::string& folder, std::vector<std::string>* names) {
  return files_->ListFolders(folder, names);
}

std::optional<std::string> MemoryEnv::ClassesRootDefaultValue(const std::string& subkey) {
  auto it = registry_.find(subkey);
  if (it == registry_.end()) return std::nullopt;
  return it->second;
}

std::string MemoryEnv::WindowsDirectory() { return windows_directory_; }

// Paths in memory are Windows paths.
std::string MemoryEnv::DisplayPath(const std::string& path) const { return path; }

std::optional<std::string> MemoryEnv::FolderIdentity(const std::string& path) {
  if (!files_->FolderExists(path)) return std::nullopt;
  // The store has no links, so the lookup key alone names the folder.
  return WindowsPathKey(path);
}

Status MemoryEnv::TakeFolderTurn(const std::string& path, bool wait,
                                 std::unique_ptr<FolderTurn>* turn) {
  turn->reset();
  if (!files_->FolderExists(path)) return Status::NotFound(path, "No such file or directory");
  return files_->turns().Take(WindowsPathKey(path), path, wait, turn);
}

Status MemoryEnv::RemoveFilesInTheMaking(const std::string& path, size_t* removed) {
  return files_->RemoveFilesInTheMaking(path, removed);
}
std::string MemoryEnv::DisplayPathAsOnDisk(const std::string& path) {
  return files_->Spelling(path);
}

}  // namespace vorlintex
