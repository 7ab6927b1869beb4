// The file operations of a generation run that failed and were skipped: kept so the run can
// go on and still tell the user what failed.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "contract/status.h"

namespace vorlintex {

enum class Access {
  kRead,
  kWrite,
  kCreateFolder,  // the target folder, which could not be made and is not there
};

struct Failure {
  Access access;
  std::string path;
  std::string reason;
};

class FailureLog {
 public:
  // Records a failed operation on the file `status.path()`. Only the first failure of each
  // file is kept; an OK status records nothing.
  void Record(Access access, const Status& status);

  // Records each failure `other` kept, in its order, as Record would.
  void Append(const FailureLog& other);

  bool empty() const { return failures_.empty(); }
  const std::vector<Failure>& failures() const { return failures_; }

 private:
  std::vector<Failure> failures_;
  std::unordered_set<std::string> seen_paths_;
};

}  // namespace vorlintex
