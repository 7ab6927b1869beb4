#include "platform/windows/windows_env.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/native_env.h"
#include "platform/windows/win32_file_service.h"
#include "platform/windows/win32_files_in_the_making.h"
#include "platform/windows/win32_folder.h"
#include "platform/windows/win32_listing.h"
#include "platform/windows/win32_process_turn.h"
#include "platform/windows/win32_registry.h"

namespace vorlintex {
namespace {

// Holds no state: every call asks the system afresh, so threads share nothing here.
class WindowsEnv final : public Env {
 public:
  Status NewFileService(std::unique_ptr<fs::TextFileService>* service) override {
    *service = NewWin32FileService();
    return Status::OK();
  }

  Status ListFiles(const std::string& pattern, std::vector<std::string>* names) override {
    return ListWin32Folder(pattern, names);
  }

  Status ListFolders(const std::string& folder, std::vector<std::string>* names) override {
    return ListWin32Subfolders(folder, names);
  }

  std::optional<std::string> ClassesRootDefaultValue(const std::string& subkey) override {
    return Win32ClassesRootDefaultValue(subkey);
  }

  std::string WindowsDirectory() override { return Win32WindowsDirectory(); }

  std::optional<std::string> FolderIdentity(const std::string& path) override {
    return Win32FolderIdentity(path);
  }

  Status TakeFolderTurn(const std::string& path, bool wait,
                        std::unique_ptr<FolderTurn>* turn) override {
    turn->reset();
    std::optional<std::string> identity = Win32FolderIdentity(path);
    if (!identity) return Status::NotFound(path, "No such file or directory");
    return TakeNamedTurn(*identity, path, wait, turn);
  }

  Status RemoveFilesInTheMaking(const std::string& path, size_t* removed) override {
    return RemoveWin32FilesInTheMaking(path, removed);
  }
  std::string DisplayPath(const std::string& path) const override { return path; }
  std::string DisplayPathAsOnDisk(const std::string& path) override {
    return Win32PathAsOnDisk(path);
  }
};

}  // namespace

std::unique_ptr<Env> NewWindowsEnv() { return std::make_unique<WindowsEnv>(); }

std::unique_ptr<Env> NewNativeEnv() { return NewWindowsEnv(); }

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace vorlintex
