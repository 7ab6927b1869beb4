// The third wizard page: the page head, the run's fields as the selection page posted them,
// the generation run, and the end of the page rendered from what the run returned.
#pragma once

#include "contract/host.h"
#include "contract/status.h"
#include "generator/services.h"

namespace vorlintex::wizard {

// A failing page head ends the page before any file work, a failing field read before the
// run; either failure, a failing Write of the page's end, or a run that had no file service
// object is returned, for the page host.
Status WriteGenerationPage(host::Request& request, host::Response& response,
                           const Services& services);

}  // namespace vorlintex::wizard
