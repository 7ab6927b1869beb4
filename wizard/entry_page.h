// The first wizard page: asks for the source folder, the target folder and the DLL name,
// prefilled from the session, and posts them for the selection page.
#pragma once

#include "wizard/page_writer.h"

namespace vorlintex::wizard {

void WriteEntryPage(PageWriter& page);

}  // namespace vorlintex::wizard
