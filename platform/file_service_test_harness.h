// Test support: the contract tests run against every platform through a harness that prepares
// and inspects its files directly, bypassing the service under test.
#pragma once

#include <stdlib.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/fault_injection_env.h"
#include "platform/memory_env.h"
#include "platform/native_env.h"

namespace vorlintex::fs {

using Lines = std::vector<std::string>;

// Paths given to it are relative to Root(), "/"-separated and spelled exactly.
class Harness {
 public:
  virtual ~Harness() = default;
  virtual std::string Root() = 0;
  virtual void Put(const std::string& relative, const std::string& bytes) = 0;  // makes folders
  virtual std::optional<std::string> Get(const std::string& relative) = 0;
  // The ordinary files of a folder, in byte order.
  virtual Lines Names(const std::string& relative) = 0;
  virtual Env& env() = 0;
  // From now on writes fail, as on a full disk: those to `relative`, or all the process makes.
  // False where the platform has no way to.
  virtual bool FailWrites(const std::string& relative) = 0;

  TextFileService& service() {
    if (service_ == nullptr && !env().NewFileService(&service_).ok()) abort();
    return *service_;
  }

 private:
  std::unique_ptr<TextFileService> service_;
};

class MemoryHarness : public Harness {
 public:
  MemoryHarness() { files_->AddFolder(Root()); }
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
  bool FailWrites(const std::string& relative) override {
    env_.FailOn(FileOperation::kWrite, Root() + "\\" + relative);
    return true;
  }

 private:
  std::shared_ptr<MemoryFileSystem> files_ = MemoryFileSystem::Create();
  MemoryEnv memory_{files_};
  FaultInjectionEnv env_{memory_};
};

// The real file system, in a fresh folder under the temporary folder removed afterwards.
class DiskHarness : public Harness {
 public:
  DiskHarness() {
    // Without a folder of its own the harness would write wherever its paths happened to lead.
    if (!std::filesystem::create_directory(root_)) abort();
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
  bool FailWrites(const std::string&) override { return false; }
#else
  // Every write of the process then fails with EFBIG, rather than raising SIGXFSZ, until the
  // harness is gone.
  bool FailWrites(const std::string&) override {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    if (!saved_limit_) saved_limit_ = limit;
    limit.rlim_cur = 0;
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
#endif

 private:
  std::string root_ = (std::filesystem::temp_directory_path() /
                       ("vorlintex-" + std::to_string(std::random_device()())))
                          .string();
  std::unique_ptr<Env> env_ = NewNativeEnv();
#ifndef _WIN32
  std::optional<rlimit> saved_limit_;
#endif
};

#ifndef _WIN32
// Sets or unsets an environment variable for one scope, then puts the old value back.
struct ScopedVariable {
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name(name) {
    if (const char* old = getenv(name)) saved = old;
    Set(value);
  }
  ~ScopedVariable() { Set(saved); }
  void Set(const std::optional<std::string>& value) {
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
  }
  const char* name;
  std::optional<std::string> saved;
};
#endif

struct HarnessFactory {
  const char* name;
  std::unique_ptr<Harness> (*make)();
};
inline const HarnessFactory kHarnesses[] = {
    {"Memory", [] { return std::unique_ptr<Harness>(new MemoryHarness); }},
    {"Disk", [] { return std::unique_ptr<Harness>(new DiskHarness); }}};

}  // namespace vorlintex::fs
