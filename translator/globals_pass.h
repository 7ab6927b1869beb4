// The globals pass: copies the Sub procedures of the page and of its include files into the
// procedures section of the class module, ahead of the standard methods.
#pragma once

#include <optional>
#include <string>

#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"
#include "translator/include_directive.h"

namespace vorlintex::translator {

// Reads `page` (may be null: an empty page) to its end. Returns the include path when a
// missing include file ended the pass; the lines copied up to then stay written.
std::optional<std::string> RunGlobalsPass(fs::TextStream* page, FailureLog* failures,
                                          const IncludeResolver& includes, OutputFile& module);

}  // namespace vorlintex::translator
