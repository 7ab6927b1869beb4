#include "platform/posix_env.h"

#include "platform/folder_listing.h"
#include "platform/native_env.h"
#include "platform/posix_file_service.h"
#include "platform/windows_directory.h"
#include "platform/wine_registry.h"

namespace vorlintex {
namespace {

class PosixEnv final : public Env {
 public:
  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override {
    *service = NewPosixFileService();
    if (*service == nullptr) return Status::Error("Scripting.FileSystemObject", "not created");
    return Status::OK();
  }

  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) override {
    return ListFolder(pattern, names);
  }

  std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) override {
    return WineClassesRootDefaultValue(subkey);
  }

  std::string WindowsDirectory() override { return vorlintex::WindowsDirectory(); }

  std::optional<std::string> FolderIdentity(const std::string& path) override {
    return PosixFolderIdentity(path);
  }
};

}  // namespace

std::unique_ptr<Env> NewPosixEnv() { return std::make_unique<PosixEnv>(); }

std::unique_ptr<Env> NewNativeEnv() { return NewPosixEnv(); }

void UseBinaryStandardStreams() {}

}  // namespace vorlintex
