// The pages that end a generation run after its page head: the completion report, the page
// of a missing include file, and the refusal of a run whose target is its source folder.
// Every inserted value is HTML-escaped. Each returns the first failing Write.
#pragma once

#include <string>
#include <vector>

#include "contract/failure_log.h"
#include "contract/host.h"
#include "contract/status.h"

namespace vorlintex::generator {

// The report of a run that went through every selected page. With `failures`, its first
// line says the run finished with errors and one line per failure follows it.
Status WriteCompletionReport(host::Response& response, const std::string& source_dir,
                             const std::string& target_dir, const std::string& dll_name,
                             const std::vector<Failure>& failures);

// The end of a run stopped by a missing include file; the message line has no line end of
// its own, so "</center>" follows it on the same line.
Status WriteIncludeNotFoundPage(host::Response& response, const std::string& include_path);

// The end of a run refused because source and target are one folder.
Status WriteSameFolderRefusal(host::Response& response);

}  // namespace vorlintex::generator
