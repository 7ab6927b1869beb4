// The paths in what the command line prints, as the system spells them (Env::DisplayPath).
#pragma once

#include <string>

#include "contract/env.h"
#include "contract/status.h"

namespace vorlintex::app {

// Status::Message of `status` with its path spelled by `env`.
inline std::string DisplayMessage(const Env& env, const Status& status) {
  if (status.path().empty()) return status.Message();
  return status.WithPath(env.DisplayPath(status.path())).Message();
}

}  // namespace vorlintex::app
