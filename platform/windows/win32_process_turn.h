// Turns on a target folder that hold between processes: two console runs at once, or a web
// server running the wizard in several worker processes.
#pragma once

#include <memory>
#include <string>

#include "contract/env.h"

namespace vorlintex {

// Env::TakeFolderTurn for the folder of identity `key` (Win32FolderIdentity), named `path` in a
// failure: a named mutex of the session, which a holder that dies lets go. Waits while another
// thread of any process of this session holds it, or with `wait` false is Busy at once; IOError
// when no mutex can be made. The turn must be let go on the thread that took it.
Status TakeNamedTurn(const std::string& key, const std::string& path, bool wait,
                     std::unique_ptr<FolderTurn>* turn);

}  // namespace vorlintex
