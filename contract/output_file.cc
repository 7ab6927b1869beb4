#include "contract/output_file.h"

#include <utility>

namespace vorlintex {

OutputFile::OutputFile(fs::TextFileService& files, std::string path, FailureLog* log)
    : path_(std::move(path)), log_(log) {
  Status created = files.CreateTextFile(path_, &stream_);
  if (created.ok() && stream_ == nullptr) created = Status::IOError(path_, "no stream was opened");
  if (!created.ok()) {
    stream_.reset();
    Fail(created);
  }
}

OutputFile::~OutputFile() {
  if (stream_ != nullptr && !closed_) stream_->Close().IgnoreError();
}

void OutputFile::Close() {
  if (stream_ == nullptr) return;
  if (Status status = stream_->Close(); !status.ok()) {
    Fail(status);
    return;
  }
  closed_ = true;
}

void OutputFile::Fail(const Status& status) {
  failed_ = true;
  if (log_ != nullptr) log_->Record(Access::kWrite, status.WithPath(path_));
}

}  // namespace vorlintex
