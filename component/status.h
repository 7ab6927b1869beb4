// Outcome of one operation: OK, or a failure naming what it was done to and why.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace vorlintex {

class Status {
 public:
  Status() = default;  // OK

  static Status OK() { return Status(); }
  // A failure of an operation on `path` (a file or folder path, or a name), with the
  // operating system's or the component's reason.
  static Status Error(std::string path, std::string reason) {
    return Status(std::move(path), std::move(reason));
  }

  bool ok() const { return !failed_; }
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  // "path: reason", or "OK".
  std::string ToString() const;

 private:
  Status(std::string path, std::string reason)
      : failed_(true), path_(std::move(path)), reason_(std::move(reason)) {}

  bool failed_ = false;
  std::string path_;
  std::string reason_;
};

}  // namespace vorlintex
