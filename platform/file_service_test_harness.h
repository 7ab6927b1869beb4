// Test support: the contract tests run against every platform through a harness that prepares
// and inspects its files directly, bypassing the service under test.
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
#include <random>
#include <string>
#include <vector>

#include "platform/memory_env.h"
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
  // The bytes of the file at `relative`; nothing when there is none.
  virtual std::optional<std::string> Get(const std::string& relative) = 0;
  // The names of the ordinary files in the folder at `relative`, in byte order.
  virtual Lines Names(const std::string& relative) = 0;
  virtual Env& env() = 0;
  // From now on writes fail, as on a full disk: those to `relative`, or all the process makes.
  virtual void FailWrites(const std::string& relative) = 0;
  virtual bool CanFailWrites() const { return true; }

  TextFileService& service() {
    if (service_ == nullptr && !env().NewFileService(&service_).ok()) std::abort();
    return *service_;
  }

 private:
  std::unique_ptr<TextFileService> service_;
};

class MemoryHarness : public Harness {
 public:
  MemoryHarness() : files_(MemoryFileSystem::Create()), env_(files_) { files_->AddFolder(Root()); }

  std::string Root() override { return "C:\\Site Root"; }
  void Put(const std::string& relative, const std::string& bytes) override {
    files_->AddFile(Root() + "\\" + relative, bytes);
  }
  std::optional<std::string> Get(const std::string& relative) override {
    return files_->Contents(Root() + "\\" + relative);
  }
  Lines Names(const std::string& relative) override {
    Lines names;
    files_->ListFiles(Root() + "\\" + relative + "\\*", &names).IgnoreError();
    std::sort(names.begin(), names.end());
    return names;
  }
  Env& env() override { return env_; }
  void FailWrites(const std::string& relative) override {
    files_->FailOn(Operation::kWrite, Root() + "\\" + relative);
  }

 private:
  std::shared_ptr<MemoryFileSystem> files_;
  MemoryEnv env_;
};

// The real file system, in a fresh folder under the temporary folder removed afterwards.
class DiskHarness : public Harness {
 public:
  DiskHarness()
      : root_((std::filesystem::temp_directory_path() /
               ("vorlintex-" + std::to_string(std::random_device()())))
                  .string()),
        env_(NewNativeEnv()) {
    // Without a folder of its own the harness would write wherever its paths happened to lead.
    if (!std::filesystem::create_directory(root_)) std::abort();
  }
  ~DiskHarness() override {
#ifndef _WIN32
    if (saved_limit_) setrlimit(RLIMIT_FSIZE, &*saved_limit_);
#endif
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::string Root() override { return root_; }
  std::string Native(const std::string& relative) { return root_ + "/" + relative; }
  void Put(const std::string& relative, const std::string& bytes) override {
    std::filesystem::create_directories(std::filesystem::path(Native(relative)).parent_path());
    std::ofstream(Native(relative), std::ios::binary) << bytes;
  }
  std::optional<std::string> Get(const std::string& relative) override {
    std::ifstream in(Native(relative), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
  void FailWrites(const std::string&) override {}
  bool CanFailWrites() const override { return false; }
#else
  // Every write of the process then fails with EFBIG, rather than raising SIGXFSZ, until the
  // harness is gone.
  void FailWrites(const std::string&) override {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    if (!saved_limit_) saved_limit_ = limit;
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
#endif

 private:
  std::string root_;
  std::unique_ptr<Env> env_;
#ifndef _WIN32
  std::optional<rlimit> saved_limit_;
#endif
};

#ifndef _WIN32
// Sets or unsets an environment variable for one scope, then puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = getenv(name)) saved_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(saved_); }
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

inline std::vector<HarnessFactory> AllHarnesses() {
  return {
      {"Memory", []() -> std::unique_ptr<Harness> { return std::make_unique<MemoryHarness>(); }},
      {"Disk", []() -> std::unique_ptr<Harness> { return std::make_unique<DiskHarness>(); }}};
}

}  // namespace vorlintex::fs
