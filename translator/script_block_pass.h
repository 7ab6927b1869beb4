// The script block pass: copies the lines inside the page's server-side script blocks into
// the script block section of the class module, ahead of the page method.
#pragma once

#include "component/failure_log.h"
#include "component/text_file_service.h"
#include "translator/module_writer.h"

namespace vorlintex::translator {

// Reads `page` (may be null: an empty page) to its end. Include files are not read.
void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, ModuleWriter& module);

}  // namespace vorlintex::translator
