#include "platform/posix_env.h"

#include <algorithm>

#include "platform/files_in_the_making.h"
#include "platform/folder_listing.h"
#include "platform/folder_name_cache.h"
#include "platform/native_env.h"
#include "platform/path_resolver.h"
#include "platform/posix_file_service.h"
#include "platform/posix_folder_turn.h"
#include "platform/windows_directory.h"
#include "platform/wine_registry.h"

namespace vorlintex {
namespace {

class PosixEnv final : public Env {
 public:
  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override {
    *service = NewPosixFileService(folders_);
    if (*service == nullptr) return Status::Error("Scripting.FileSystemObject", "not created");
    return Status::OK();
  }

  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) override {
    return ListFolder(*folders_, pattern, names);
  }

  Status ListFolders(const std::string& folder, std::vector<std::string>* names) override {
    return ListSubfolders(*folders_, folder, names);
  }

  std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) override {
    return WineClassesRootDefaultValue(subkey);
  }

  std::string WindowsDirectory() override { return vorlintex::WindowsDirectory(); }

  std::optional<std::string> FolderIdentity(const std::string& path) override {
    return PosixFolderIdentity(*folders_, path);
  }

  Status TakeFolderTurn(const std::string& path, bool wait,
                        std::unique_ptr<FolderTurn>* turn) override {
    return TakePosixFolderTurn(folders_, path, wait, turn);
  }

  Status RemoveFilesInTheMaking(const std::string& path, size_t* removed) override {
    return RemovePosixFilesInTheMaking(*folders_, path, removed);
  }

  std::string DisplayPathAsOnDisk(const std::string& path) override {
    return ResolveWindowsPath(*folders_, path);
  }

  std::string DisplayPath(const std::string& path) const override {
    std::string spelled = path;
    std::replace(spelled.begin(), spelled.end(), '\\', '/');
    return spelled;
  }

 private:
  // The folder names this Env and every file service object it made have looked up; shared
  // with those objects and their streams, which may outlive it.
  const std::shared_ptr<FolderNameCache> folders_ = std::make_shared<FolderNameCache>();
};

}  // namespace

std::unique_ptr<Env> NewPosixEnv() { return std::make_unique<PosixEnv>(); }

std::unique_ptr<Env> NewNativeEnv() { return NewPosixEnv(); }

void UseBinaryStandardStreams() {}

}  // namespace vorlintex
