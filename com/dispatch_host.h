// The page host's objects seen through their dispatch interfaces: the scripting context given
// to OnStartPage and the five objects taken from it by name.
#pragma once

#include <oaidl.h>

#include <memory>

#include "contract/host.h"

namespace vorlintex::com {

// The context `context` (one reference of its own is taken) as the core's scripting context.
std::shared_ptr<host::ScriptingContext> NewDispatchContext(IDispatch* context);

}  // namespace vorlintex::com
