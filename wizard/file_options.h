// The option lines of the selection page's page list: one per matching file of a folder.
#pragma once

#include <string>

#include "contract/env.h"
#include "contract/host.h"
#include "contract/status.h"

namespace vorlintex::wizard {

// Writes one option line for every file the listing gives for `curpath` (a folder path and a
// file name pattern) whose lower-cased name contains ".asp" or ".inc", in listing order.
Status WriteFileOptions(host::Response& response, Env& env, const std::string& curpath);

}  // namespace vorlintex::wizard
