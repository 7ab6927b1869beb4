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
  if (open()) stream_->Close().IgnoreError();
}

void OutputFile::Close() {
  if (stream_ == nullptr) return;
  close_called_ = true;
  if (Status status = stream_->Close(); !status.ok()) {
    Fail(status);
    return;
  }
  closed_ = true;
}

void OutputFile::Abandon() {
  if (!open()) return;
  close_called_ = true;
  if (Status status = stream_->Abandon(); !status.ok()) Fail(status);
}

void OutputFile::Fail(const Status& status) {
  failed_ = true;
  if (log_ != nullptr) log_->Record(Access::kWrite, status.WithPath(path_));
}

}  // namespace vorlintex
