// Test support: the same contract tests run against every platform through a harness that
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
#include <random>
#include <string>
#include <vector>

#include "contract/env.h"
#include "contract/text_file_service.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "platform/native_env.h"

namespace vorlintex::fs {

using Lines = std::vector<std::string>;

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
  virtual Lines Names(const std::string& relative) = 0;
  virtual Env& env() = 0;
  // From now on every write to the file at `relative` fails, as on a full disk; only where
  // CanFailWrites.
  virtual void FailWrites(const std::string& relative) = 0;
  virtual bool CanFailWrites() const { return true; }

  // A service object of the platform, made once.
  TextFileService& service() {
    if (service_ == nullptr && !env().NewFileService(&service_).ok()) std::abort();
    return *service_;
  }

 private:
  std::unique_ptr<TextFileService> service_;
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

// Sets or unsets an environment variable for one scope, then puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = getenv(name)) saved_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(saved_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

  void Set(const std::optional<std::string>& value) {
    value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};
#endif

struct HarnessFactory {
  const char* name;
  std::unique_ptr<Harness> (*make)();
};

inline void PrintTo(const HarnessFactory& factory, std::ostream* out) { *out << factory.name; }

class MemoryHarness : public Harness {
 public:
  MemoryHarness() : files_(MemoryFileSystem::Create()), env_(files_) { files_->AddFolder(Root()); }

  std::string Root() override { return "C:\\Site Root"; }
  void Put(const std::string& relative, const std::string& bytes) override {
    files_->AddFile(Spelled(relative), bytes);
  }
  std::optional<std::string> Get(const std::string& relative) override {
    Lines all = files_->AllFiles();
    if (std::find(all.begin(), all.end(), Spelled(relative)) == all.end()) return std::nullopt;
    return files_->Contents(Spelled(relative));
  }
  bool IsFolder(const std::string& relative) override {
    return files_->FolderExists(Spelled(relative));
  }
  Lines Names(const std::string& relative) override {
    std::string prefix = Spelled(relative) + "\\";
    Lines names;
    for (const std::string& path : files_->AllFiles()) {
      if (path.compare(0, prefix.size(), prefix) != 0) continue;
      std::string rest = path.substr(prefix.size());
      if (rest.find('\\') == std::string::npos) names.push_back(rest);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  Env& env() override { return env_; }
  void FailWrites(const std::string& relative) override {
    files_->FailOn(Operation::kWrite, Spelled(relative));
  }

 private:
  std::string Spelled(std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return Root() + "\\" + relative;
  }

  std::shared_ptr<MemoryFileSystem> files_;
  MemoryEnv env_;
};

// The real file system of the platform, in a fresh folder under the temporary folder, removed
// afterwards.
class DiskHarness : public Harness {
 public:
  DiskHarness() : env_(NewNativeEnv()) {
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
  ~DiskHarness() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
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
  Lines Names(const std::string& relative) override {
    Lines names;
    for (const auto& entry : std::filesystem::directory_iterator(Native(relative))) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  Env& env() override { return *env_; }
#ifdef _WIN32
  // Windows has no per-process file size limit to make a write fail with.
  void FailWrites(const std::string& /*relative*/) override {}
  bool CanFailWrites() const override { return false; }
#else
  // Every write of the process fails, until the harness is gone.
  void FailWrites(const std::string& /*relative*/) override {
    if (limit_ == nullptr) limit_ = std::make_unique<FileSizeLimit>(0);
  }
#endif
  std::string Native(const std::string& relative) { return root_ + "/" + relative; }

 private:
  std::string root_;
  std::unique_ptr<Env> env_;
#ifndef _WIN32
  std::unique_ptr<FileSizeLimit> limit_;
#endif
};

inline std::vector<HarnessFactory> AllHarnesses() {
  return {
      {"Memory", []() -> std::unique_ptr<Harness> { return std::make_unique<MemoryHarness>(); }},
#ifdef _WIN32
      {"Windows", []() -> std::unique_ptr<Harness> { return std::make_unique<DiskHarness>(); }},
#else
      {"Posix", []() -> std::unique_ptr<Harness> { return std::make_unique<DiskHarness>(); }},
#endif
  };
}

}  // namespace vorlintex::fs
