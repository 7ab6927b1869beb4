#include "contract/failure_log.h"

namespace vorlintex {

void FailureLog::Record(Access access, const Status& status) {
  if (status.ok()) return;
  if (!seen_paths_.insert(status.path()).second) return;
  failures_.push_back(Failure{access, status.path(), status.reason()});
}

void FailureLog::Append(const FailureLog& other) {
  for (const Failure& failure : other.failures_) {
    if (seen_paths_.insert(failure.path).second) failures_.push_back(failure);
  }
}

}  // namespace vorlintex
