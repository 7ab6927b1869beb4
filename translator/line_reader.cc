#include "translator/line_reader.h"

namespace vorlintex::translator {

void RecordFailedRead(const Status& status, FailureLog* failures) {
  if (failures != nullptr) failures->Record(Access::kRead, status);
}

}  // namespace vorlintex::translator
