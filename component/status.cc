#include "component/status.h"

namespace vorlintex {

std::string Status::ToString() const {
  if (ok()) return "OK";
  if (path_.empty()) return reason_;
  return path_ + ": " + reason_;
}

}  // namespace vorlintex
