// The script block pass: copies the lines inside the page's server-side script blocks into
// the script block section of the class module, ahead of the page method.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

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

// The same pass over a page's lines kept in memory: `text` holds them one after another without
// their line ends, and ends[i] is where line i ends. Outside a block only lines holding "runat"
// are looked at, found in the text itself: most lines of a page are passed over unread.
void RunScriptBlockPass(std::string_view text, const std::vector<size_t>& ends, OutputFile& module,
                        TranslationObserver* observer, std::string_view page_path);

}  // namespace vorlintex::translator
