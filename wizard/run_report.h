// The end of the generation run's page, after its page head, rendered from what the run
// returned: the completion report of a run that went through every selected page, the page of
// a missing include file, or the refusal of a run whose fields failed their checks. Every
// inserted value is HTML-escaped.
#pragma once

#include <string_view>

#include "contract/host.h"
#include "contract/status.h"
#include "generator/generation_run.h"
#include "generator/run_summary.h"

namespace vorlintex::wizard {

// The words of a refusal, as the entry page's script shows them in its alerts.
std::string_view RefusalMessage(generator::RefusedField field);

// Writes the end of the page of the run of `input` that returned `summary`. Returns the first
// failing Write; for a run that had no file service object it writes nothing and returns that
// failure, which goes to the page host.
Status WriteRunReport(host::Response& response, const generator::RunInput& input,
                      const generator::RunSummary& summary);

// The whole page of a run already made: the page head, then its end as above.
Status WriteRunPage(host::Response& response, const generator::RunInput& input,
                    const generator::RunSummary& summary);

}  // namespace vorlintex::wizard
