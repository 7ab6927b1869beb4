// Test support: the same contract tests run against every file service through a harness that
// prepares and inspects its files directly, bypassing the service under test.
#pragma once

#ifndef _WIN32
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "contract/text_file_service.h"
#include "platform/memory_file_service.h"
#ifdef _WIN32
#include <random>

#include "platform/windows/win32_file_service.h"
#else
#include "platform/posix_file_service.h"
#endif

namespace vorlintex::fs {

class Harness {
 public:
  virtual ~Harness() = default;
  // The folder the test works in, as a path the service is given.
  virtual std::string Root() = 0;
  // Writes `bytes` to the file at `relative` ("/"-separated, exact spelling), making folders.
  virtual void Put(const std::string& relative, const std::string& bytes) = 0;
  // The bytes of the file spelled exactly `relative`; nothing when there is none.
  virtual std::optional<std::string> Get(const std::string& relative) = 0;
  virtual bool IsFolder(const std::string& relative) = 0;
  // The names of the ordinary files in the folder at `relative`, in byte order.
  virtual std::vector<std::string> Names(const std::string& relative) = 0;
  virtual TextFileService& service() = 0;
  virtual std::unique_ptr<TextFileService> NewService() = 0;
  // From now on every write to the file at `relative` fails, as on a full disk; only where
  // CanFailWrites.
  virtual void FailWrites(const std::string& relative) = 0;
  virtual bool CanFailWrites() const { return true; }
};

#ifndef _WIN32
// While it lives, the process may write no byte past `bytes` into any file: such a write fails
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_limit_);
    saved_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_limit_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_limit_);
    signal(SIGXFSZ, saved_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_limit_;
  sighandler_t saved_handler_;
};

#endif

struct HarnessFactory {
  const char* name;
  std::unique_ptr<Harness> (*make)();
};

inline void PrintTo(const HarnessFactory& factory, std::ostream* out) { *out << factory.name; }

class MemoryHarness : public Harness {
 public:
  MemoryHarness() : files_(MemoryFileSystem::Create()), service_(files_->NewService()) {
    files_->AddFolder(Root());
  }

  std::string Root() override { return "C:\\Site Root"; }
  void Put(const std::string& relative, const std::string& bytes) override {
    files_->AddFile(Spelled(relative), bytes);
  }
  std::optional<std::string> Get(const std::string& relative) override {
    std::vector<std::string> all = files_->AllFiles();
    if (std::find(all.begin(), all.end(), Spelled(relative)) == all.end()) return std::nullopt;
    return files_->Contents(Spelled(relative));
  }
  bool IsFolder(const std::string& relative) override {
    return files_->FolderExists(Spelled(relative));
  }
  std::vector<std::string> Names(const std::string& relative) override {
    std::string prefix = Spelled(relative) + "\\";
    std::vector<std::string> names;
    for (const std::string& path : files_->AllFiles()) {
      if (path.compare(0, prefix.size(), prefix) != 0) continue;
      std::string rest = path.substr(prefix.size());
      if (rest.find('\\') == std::string::npos) names.push_back(rest);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TextFileService& service() override { return *service_; }
  std::unique_ptr<TextFileService> NewService() override { return files_->NewService(); }
  void FailWrites(const std::string& relative) override {
    files_->FailOn(Operation::kWrite, Spelled(relative));
  }

 private:
  std::string Spelled(std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return Root() + "\\" + relative;
  }

  std::shared_ptr<MemoryFileSystem> files_;
  std::unique_ptr<TextFileService> service_;
};

#ifdef _WIN32
// The real file system through the Win32 API, in a fresh folder under the temporary folder,
// removed afterwards.
class Win32Harness : public Harness {
 public:
  Win32Harness() : service_(NewWin32FileService()) {
    // Without its own folder the harness would write wherever its paths happened to lead.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
      std::filesystem::path folder =
          std::filesystem::temp_directory_path() / ("vorlintex-files-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(folder, error)) root_ = folder.string();
    }
    if (root_.empty()) std::abort();
  }
  ~Win32Harness() override {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }

  std::string Root() override { return root_; }
  void Put(const std::string& relative, const std::string& bytes) override {
    std::filesystem::path path = Native(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::optional<std::string> Get(const std::string& relative) override {
    std::ifstream in(Native(relative), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool IsFolder(const std::string& relative) override {
    return std::filesystem::is_directory(Native(relative));
  }
  std::vector<std::string> Names(const std::string& relative) override {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Native(relative))) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TextFileService& service() override { return *service_; }
  std::unique_ptr<TextFileService> NewService() override { return NewWin32FileService(); }
  // Windows has no per-process file size limit to make a write fail with.
  void FailWrites(const std::string& /*relative*/) override {}
  bool CanFailWrites() const override { return false; }

 private:
  std::filesystem::path Native(const std::string& relative) { return root_ + "/" + relative; }

  std::string root_;
  std::unique_ptr<TextFileService> service_;
};

#else
// The real file system, in a fresh folder under /tmp removed afterwards.
class PosixHarness : public Harness {
 public:
  PosixHarness() : service_(NewPosixFileService()) {
    char pattern[] = "/tmp/vorlintex-files-XXXXXX";
    // Without its own folder the harness would write wherever its paths happened to lead.
    if (mkdtemp(pattern) == nullptr) std::abort();
    root_ = pattern;
  }
  ~PosixHarness() override {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }

  std::string Root() override { return root_; }
  void Put(const std::string& relative, const std::string& bytes) override {
    std::filesystem::path path = Native(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::optional<std::string> Get(const std::string& relative) override {
    std::ifstream in(Native(relative), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool IsFolder(const std::string& relative) override {
    return std::filesystem::is_directory(Native(relative));
  }
  std::vector<std::string> Names(const std::string& relative) override {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Native(relative))) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  TextFileService& service() override { return *service_; }
  std::unique_ptr<TextFileService> NewService() override { return NewPosixFileService(); }
  // Every write of the process fails, until the harness is gone.
  void FailWrites(const std::string& /*relative*/) override {
    if (limit_ == nullptr) limit_ = std::make_unique<FileSizeLimit>(0);
  }

 private:
  std::filesystem::path Native(const std::string& relative) { return root_ + "/" + relative; }

  std::string root_;
  std::unique_ptr<TextFileService> service_;
  std::unique_ptr<FileSizeLimit> limit_;
};

#endif

inline std::vector<HarnessFactory> AllHarnesses() {
  return {
      {"Memory", []() -> std::unique_ptr<Harness> { return std::make_unique<MemoryHarness>(); }},
#ifdef _WIN32
      {"Windows", []() -> std::unique_ptr<Harness> { return std::make_unique<Win32Harness>(); }},
#else
      {"Posix", []() -> std::unique_ptr<Harness> { return std::make_unique<PosixHarness>(); }},
#endif
  };
}

}  // namespace vorlintex::fs
