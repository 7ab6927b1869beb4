#include "contract/status.h"

namespace vorlintex {

const std::string& Status::Empty() noexcept {
  static const std::string empty;
  return empty;
}

std::string Status::ToString() const {
  if (ok()) return "OK";
  if (state_->path.empty()) return state_->reason;
  return state_->path + ": " + state_->reason;
}

}  // namespace vorlintex
