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

void MemoryEnv::FailNewFileService(std::string reason) { new_service_failure_ = std::move(reason); }

Status MemoryEnv::NewFileService(std::unique_ptr<fs::TextFileService>* service) {
  service->reset();
  if (new_service_failure_) {
    return Status::Error("Scripting.FileSystemObject", *new_service_failure_);
  }
  *service = files_->NewService();
  return Status::OK();
}

Status MemoryEnv::ListFiles(const std::string& pattern, std::vector<std::string>* names) {
  return files_->ListFiles(pattern, names);
}

std::optional<std::string> MemoryEnv::ClassesRootDefaultValue(const std::string& subkey) {
  auto it = registry_.find(subkey);
  if (it == registry_.end()) return std::nullopt;
  return it->second;
}

std::string MemoryEnv::WindowsDirectory() { return windows_directory_; }

std::optional<std::string> MemoryEnv::FolderIdentity(const std::string& path) {
  if (!files_->FolderExists(path)) return std::nullopt;
  // The store has no links, so the lookup key alone names the folder.
  return WindowsPathKey(path);
}

std::string MemoryEnv::ShownPath(const std::string& path) { return files_->Spelling(path); }

}  // namespace vorlintex
