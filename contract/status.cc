#include "contract/status.h"

namespace vorlintex {

const std::string& Status::Empty() noexcept {
  static const std::string empty;
  return empty;
}

std::string Status::ToString() const {
  if (ok()) return "OK";
  const char* name = "";
  switch (state_->code) {
    case Code::kOk:
      break;  // a failure never has it
    case Code::kNotFound:
      name = "NotFound: ";
      break;
    case Code::kAlreadyExists:
      name = "Already exists: ";
      break;
    case Code::kIOError:
      name = "IO error: ";
      break;
    case Code::kInvalidArgument:
      name = "Invalid argument: ";
      break;
    case Code::kNotSupported:
      name = "Not supported: ";
      break;
    case Code::kBusy:
      name = "Busy: ";
      break;
  }
  return name + Message();
}

std::string Status::Message() const {
  if (ok()) return "OK";
  if (state_->path.empty()) return state_->reason;
  return state_->path + ": " + state_->reason;
}

}  // namespace vorlintex
