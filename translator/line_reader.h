// Line by line reading of a page or include stream that always comes to an end.
#pragma once

#include <string>

#include "contract/failure_log.h"
#include "contract/text_file_service.h"

namespace vorlintex::translator {

// Records a failed read in `failures` (may be null).
void RecordFailedRead(const Status& status, FailureLog* failures);

// Reads the next line of `stream` into `line` (overwritten). False when the stream is null, at
// its end, or when the read fails; a failed read is recorded in `failures` (may be null) and
// ends the reading, so a failing stream is read as if it ended there.
inline bool ReadNextLine(fs::TextStream* stream, std::string* line, FailureLog* failures) {
  if (stream == nullptr || stream->AtEndOfStream()) return false;
  Status status = stream->ReadLine(line);
  if (status.ok()) return true;
  RecordFailedRead(status, failures);
  return false;
}

}  // namespace vorlintex::translator
