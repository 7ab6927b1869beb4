// The generation run: the wizard's third page. Converts every selected page of the source
// directory into a class module and a replacement page in the target directory, writes the
// project, workspace and build script files, and ends the page with the completion report.
#pragma once

#include "component/host.h"
#include "component/services.h"
#include "component/status.h"

namespace vorlintex::generator {

// Runs one generation for the posted `sourcedir`, `targetdir`, `dllname` and `asplist`.
// A failing file operation is recorded and skipped, and the run goes on; the run fails only
// for what goes to the page host: a failing Request or Response call (the run ends there), or
// a file service object that cannot be created (the run ends after the page head).
// services.env is required; services.turns and services.observer may be null.
Status RunGeneration(host::Request& request, host::Response& response, const Services& services);

}  // namespace vorlintex::generator
