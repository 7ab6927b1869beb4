// The script block pass: copies the lines inside the page's server-side script blocks into
// the script block section of the class module, ahead of the page method.
#pragma once

#include <string_view>

#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"
#include "translator/translation_observer.h"

namespace vorlintex::translator {

// Reads `page` (may be null: an empty page) to its end. Include files are not read.
// `observer` (may be null) hears of blocks in another language than VBScript and of Sub
// procedures copied here as well as by the globals pass, on lines of `page_path`.
void RunScriptBlockPass(fs::TextStream* page, FailureLog* failures, OutputFile& module,
                        TranslationObserver* observer = nullptr, std::string_view page_path = {});

// False when no line of `text` (a page's lines, one after another) can open a server-side
// script block, so that the pass would copy nothing and tell of nothing: most pages hold none.
bool MayHoldScriptBlock(std::string_view text);

}  // namespace vorlintex::translator
