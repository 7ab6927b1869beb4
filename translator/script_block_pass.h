// The script block pass: copies the lines inside the page's server-side script blocks into
// the script block section of the class module, ahead of the page method.
#pragma once

#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"

namespace vorlintex::translator {

// Reads `page` (may be null: an empty page) to its end. Include files are not read.
void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, OutputFile& module);

}  // namespace vorlintex::translator
