#include "platform/fault_injection_env.h"

#include <mutex>
#include <set>
#include <string_view>
#include <utility>

#include "platform/windows_path.h"

namespace vorlintex {
namespace {

constexpr char kInjected[] = "injected failure";
constexpr char kPastEnd[] = "Input past end of file";

}  // namespace

class FaultInjectionEnv::Faults {
 public:
  void FailOn(FileOperation op, const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    fail_on_.emplace(op, WindowsPathKey(path));
  }
  void FailNth(long n) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (n >= 1) fail_at_.insert(count_ + n);
  }
  long count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

  // Counts one `op` on the file whose lookup key is `key`; the injected failure, naming `path`,
  // when this one is to fail.
  Status Count(FileOperation op, const std::string& key, const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_;
    if (fail_at_.erase(count_) > 0 || fail_on_.count({op, key}) > 0) {
      return Status::IOError(path, kInjected);
    }
    return Status::OK();
  }
  Status Count(FileOperation op, const std::string& path) {
    return Count(op, WindowsPathKey(path), path);
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::pair<FileOperation, std::string>> fail_on_;  // by lookup key
  std::set<long> fail_at_;                                   // operation numbers, 1-based
  long count_ = 0;
};

namespace {

using Faults = FaultInjectionEnv::Faults;

class FaultInjectionStream : public fs::TextStream {
 public:
  FaultInjectionStream(std::shared_ptr<Faults> faults, std::unique_ptr<fs::TextStream> base,
                       std::string path, bool writing)
      : faults_(std::move(faults)),
        base_(std::move(base)),
        path_(std::move(path)),
        key_(WindowsPathKey(path_)),
        writing_(writing) {}

  // A written file let go open is closed, as the stream underneath would close it, and that
  // close is counted.
  ~FaultInjectionStream() override {
    if (writing_ && !closed_) Close().IgnoreError();
  }

  bool AtEndOfStream() override { return read_failed_ || base_->AtEndOfStream(); }

  fs::LineEnd LastLineEnd() const override { return base_->LastLineEnd(); }

  Status ReadLine(std::string* line) override {
    if (Status injected = faults_->Count(FileOperation::kRead, key_, path_); !injected.ok()) {
      line->clear();
      read_failed_ = true;  // a failed read ends the stream
      return injected;
    }
    if (read_failed_) {
      line->clear();
      return Status::IOError(path_, kPastEnd);
    }
    return base_->ReadLine(line);
  }

  Status WriteLine(std::string_view text) override {
    if (Status injected = faults_->Count(FileOperation::kWrite, key_, path_); !injected.ok()) {
      if (write_error_.ok()) write_error_ = injected;
      return injected;
    }
    return base_->WriteLine(text);
  }

  Status Close() override {
    Status injected = faults_->Count(FileOperation::kClose, key_, path_);
    closed_ = true;
    if (injected.ok() && write_error_.ok()) return base_->Close();
    // After a failure the file must not take its name; the first failure is the one told.
    base_->Abandon().IgnoreError();
    return write_error_.ok() ? injected : write_error_;
  }

  Status Abandon() override {
    closed_ = true;
    return base_->Abandon();
  }

 private:
  std::shared_ptr<Faults> faults_;
  std::unique_ptr<fs::TextStream> base_;
  const std::string path_;  // as the caller gave it, for statuses
  const std::string key_;
  const bool writing_;
  bool closed_ = false;
  bool read_failed_ = false;
  Status write_error_;
};

class FaultInjectionService : public fs::TextFileService {
 public:
  FaultInjectionService(std::shared_ptr<Faults> faults, std::unique_ptr<fs::TextFileService> base)
      : faults_(std::move(faults)), base_(std::move(base)) {}

  Status CreateFolder(const std::string& path) override {
    if (Status injected = faults_->Count(FileOperation::kCreateFolder, path); !injected.ok()) {
      return injected;
    }
    return base_->CreateFolder(path);
  }

  Status CreateTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    return Open(FileOperation::kCreate, path, stream);
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    return Open(FileOperation::kOpen, path, stream);
  }

  bool FileExists(const std::string& path) override { return base_->FileExists(path); }

 private:
  Status Open(FileOperation op, const std::string& path, std::unique_ptr<fs::TextStream>* stream) {
    stream->reset();
    if (Status injected = faults_->Count(op, path); !injected.ok()) return injected;
    std::unique_ptr<fs::TextStream> opened;
    Status status = op == FileOperation::kCreate ? base_->CreateTextFile(path, &opened)
                                                 : base_->OpenTextFile(path, &opened);
    if (!status.ok() || opened == nullptr) return status;
    *stream = std::make_unique<FaultInjectionStream>(faults_, std::move(opened), path,
                                                     op == FileOperation::kCreate);
    return Status::OK();
  }

  std::shared_ptr<Faults> faults_;
  std::unique_ptr<fs::TextFileService> base_;
};

}  // namespace

FaultInjectionEnv::FaultInjectionEnv(Env& base)
    : base_(base), faults_(std::make_shared<Faults>()) {}

FaultInjectionEnv::~FaultInjectionEnv() = default;

void FaultInjectionEnv::FailOn(FileOperation op, const std::string& path) {
  faults_->FailOn(op, path);
}

void FaultInjectionEnv::FailNthOperation(long n) { faults_->FailNth(n); }

long FaultInjectionEnv::OperationCount() const { return faults_->count(); }

void FaultInjectionEnv::FailNewFileService(std::string reason) {
  new_service_failure_ = std::move(reason);
}

Status FaultInjectionEnv::NewFileService(std::unique_ptr<fs::TextFileService>* service) {
  service->reset();
  if (new_service_failure_) {
    return Status::Error("Scripting.FileSystemObject", *new_service_failure_);
  }
  std::unique_ptr<fs::TextFileService> base;
  Status made = base_.NewFileService(&base);
  if (!made.ok() || base == nullptr) return made;
  *service = std::make_unique<FaultInjectionService>(faults_, std::move(base));
  return Status::OK();
}

Status FaultInjectionEnv::ListFiles(const std::string& pattern, std::vector<std::string>* names) {
  return base_.ListFiles(pattern, names);
}

Status FaultInjectionEnv::ListFolders(const std::string& folder, std::vector<std::string>* names) {
  return base_.ListFolders(folder, names);
}

std::optional<std::string> FaultInjectionEnv::ClassesRootDefaultValue(const std::string& subkey) {
  return base_.ClassesRootDefaultValue(subkey);
}

std::string FaultInjectionEnv::WindowsDirectory() { return base_.WindowsDirectory(); }

std::string FaultInjectionEnv::DisplayPath(const std::string& path) const {
  return base_.DisplayPath(path);
}

std::string FaultInjectionEnv::DisplayPathAsOnDisk(const std::string& path) {
  return base_.DisplayPathAsOnDisk(path);
}

std::optional<std::string> FaultInjectionEnv::FolderIdentity(const std::string& path) {
  return base_.FolderIdentity(path);
}

Status FaultInjectionEnv::TakeFolderTurn(const std::string& path, bool wait,
                                         std::unique_ptr<FolderTurn>* turn) {
  return base_.TakeFolderTurn(path, wait, turn);
}

Status FaultInjectionEnv::RemoveFilesInTheMaking(const std::string& path, size_t* removed) {
  return base_.RemoveFilesInTheMaking(path, removed);
}

}  // namespace vorlintex
