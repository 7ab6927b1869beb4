// What the host page morvane.asp does for one request: a fresh instance of the wizard's class
// by its ProgID, OnStartPage with the request's scripting context, the page method, OnEndPage,
// and the instance released.
#pragma once

#include <memory>
#include <string_view>

#include "component/automation.h"
#include "component/host.h"
#include "component/status.h"

namespace vorlintex::pagehost {

inline constexpr std::string_view kWizardProgId = "tvorlintex.morvane";

// The first failure among creating the instance, OnStartPage and the page method (OnEndPage
// runs whenever OnStartPage succeeded); OK when none failed.
Status RunHostPage(const automation::ClassRegistry& registry,
                   std::shared_ptr<host::ScriptingContext> context);

}  // namespace vorlintex::pagehost
