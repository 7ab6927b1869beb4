// The second wizard page: remembers the three posted fields in the session, shows them again,
// and offers the source folder's pages in a multiple selection list.
#pragma once

#include <functional>
#include <string>

#include "contract/status.h"
#include "wizard/form_page.h"

namespace vorlintex::wizard {

// The component's GetFiles method: writes the option lines for a listing pattern.
using GetFilesMethod = std::function<Status(std::string& curpath)>;

void WriteSelectionPage(FormPage& page, const GetFilesMethod& get_files);

}  // namespace vorlintex::wizard
