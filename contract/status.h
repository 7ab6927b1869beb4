// Outcome of one operation: OK, or a failure with a code, the path (or name) it was done to,
// and the reason. OK is a null pointer: nothing is built, copied or destroyed for it, so a
// status can be returned for every line written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace vorlintex {

class [[nodiscard]] Status {
 public:
  // What callers tell apart.
  enum class Code : unsigned char {
    kOk = 0,
    kNotFound,         // the file, folder or class asked for does not exist
    kAlreadyExists,    // a folder to create is already there
    kIOError,          // the operating system or the page host refused or failed the operation
    kInvalidArgument,  // a path, name, index or value the operation cannot take, or a call
                       // with the wrong number or type of arguments
    kNotSupported,     // the object has no member of that name, or cannot do what is asked
    kBusy,             // the object is running a call that has not returned, and takes no
                       // other until it does
  };

  Status() noexcept = default;  // OK
  Status(const Status& other) : state_(other.state_ ? new State(*other.state_) : nullptr) {}
  Status(Status&& other) noexcept = default;
  Status& operator=(const Status& other) {
    if (this != &other) state_.reset(other.state_ ? new State(*other.state_) : nullptr);
    return *this;
  }
  Status& operator=(Status&& other) noexcept = default;

  static Status OK() noexcept { return Status(); }
  // A failure of an operation on `path` (a file or folder path, or a name), with the
  // operating system's or the component's reason.
  static Status IOError(std::string path, std::string reason) {
    return Status(Code::kIOError, std::move(path), std::move(reason));
  }
  static Status NotFound(std::string path, std::string reason) {
    return Status(Code::kNotFound, std::move(path), std::move(reason));
  }
  static Status AlreadyExists(std::string path, std::string reason) {
    return Status(Code::kAlreadyExists, std::move(path), std::move(reason));
  }
  static Status InvalidArgument(std::string path, std::string reason) {
    return Status(Code::kInvalidArgument, std::move(path), std::move(reason));
  }
  static Status NotSupported(std::string path, std::string reason) {
    return Status(Code::kNotSupported, std::move(path), std::move(reason));
  }
  static Status Busy(std::string path, std::string reason) {
    return Status(Code::kBusy, std::move(path), std::move(reason));
  }
  // An I/O error: the failure of whatever the operation asked of the system.
  static Status Error(std::string path, std::string reason) {
    return IOError(std::move(path), std::move(reason));
  }

  bool ok() const noexcept { return state_ == nullptr; }
  Code code() const noexcept { return state_ ? state_->code : Code::kOk; }
  bool IsNotFound() const noexcept { return code() == Code::kNotFound; }
  bool IsAlreadyExists() const noexcept { return code() == Code::kAlreadyExists; }
  // Empty when OK.
  const std::string& path() const noexcept { return state_ ? state_->path : Empty(); }
  const std::string& reason() const noexcept { return state_ ? state_->reason : Empty(); }
  // The same failure, of the same code, named after `path` instead.
  Status WithPath(std::string path) const {
    return ok() ? Status() : Status(state_->code, std::move(path), state_->reason);
  }
  // The code's name, then the message: "NotFound: path: reason", "IO error: path: reason",
  // "Invalid argument: ...", "Already exists: ...", "Not supported: ...", "Busy: ...", or
  // "OK".
  std::string ToString() const;
  // "path: reason" (the reason alone when there is no path), or "OK": what a message to a
  // person quotes, for whom the code's name would be noise.
  std::string Message() const;
  // For the calls whose failure is of no consequence to the caller, said where it is made.
  void IgnoreError() const noexcept {}

 private:
  struct State {
    Code code;
    std::string path;
    std::string reason;
  };

  Status(Code code, std::string path, std::string reason)
      : state_(new State{code, std::move(path), std::move(reason)}) {}
  static const std::string& Empty() noexcept;

  std::unique_ptr<State> state_;
};

}  // namespace vorlintex
