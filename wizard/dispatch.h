// The page method's choice of wizard page, by the posted PageNumber.
#pragma once

#include "contract/host.h"
#include "contract/status.h"
#include "generator/services.h"
#include "wizard/selection_page.h"

namespace vorlintex::wizard {

// Empty or absent: the entry page; "1": the selection page; "2": the generation run; any other
// value writes nothing. Returns the first failing host call.
Status DispatchPage(host::Request& request, host::Session& session, host::Response& response,
                    const GetFilesMethod& get_files, const Services& services);

}  // namespace vorlintex::wizard
