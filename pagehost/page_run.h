// What the host page morvane.asp does for one request: a fresh instance of the wizard's class
// by its ProgID, OnStartPage with the request's scripting context, the page method, OnEndPage,
// and the instance released.
#pragma once

#include <memory>
#include <string_view>

#include "contract/automation.h"
#include "contract/host.h"
#include "contract/status.h"

namespace vorlintex::pagehost {

// The first failure among creating the instance, OnStartPage and the page method (OnEndPage
// runs whenever OnStartPage succeeded); OK when none failed.
Status RunHostPage(const automation::ClassRegistry& registry,
                   std::shared_ptr<host::ScriptingContext> context);

}  // namespace vorlintex::pagehost
