#include "platform/windows/windows_env.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/native_env.h"
#include "platform/windows/win32_file_service.h"
#include "platform/windows/win32_folder.h"
#include "platform/windows/win32_listing.h"
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

  std::string DisplayPath(const std::string& path) const override { return path; }
  std::string ShownPath(const std::string& path) override { return Win32ShownPath(path); }
};

}  // namespace

std::unique_ptr<Env> NewWindowsEnv() { return std::make_unique<WindowsEnv>(); }

std::unique_ptr<Env> NewNativeEnv() { return NewWindowsEnv(); }

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace vorlintex
