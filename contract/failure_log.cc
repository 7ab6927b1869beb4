#include "contract/failure_log.h"

namespace vorlintex {

void FailureLog::Record(Access access, const Status& status) {
  if (status.ok()) return;
  if (!seen_paths_.insert(status.path()).second) return;
  failures_.push_back(Failure{access, status.path(), status.reason()});
}

}  // namespace vorlintex
