// Line by line reading of a page or include stream that always comes to an end.
#pragma once

#include <string>

#include "component/failure_log.h"
#include "component/text_file_service.h"

namespace vorlintex::translator {

// Reads the next line of `stream` into `line` (overwritten). False when the stream is null, at
// its end, or when the read fails; a failed read is recorded in `failures` (may be null) and
// ends the reading, so a failing stream is read as if it ended there.
bool ReadNextLine(fs::TextStream* stream, std::string* line, FailureLog* failures);

}  // namespace vorlintex::translator
