// The first wizard page: asks for the source folder, the target folder and the DLL name,
// prefilled from the session, and posts them for the selection page.
#pragma once

#include "wizard/form_page.h"

namespace vorlintex::wizard {

void WriteEntryPage(FormPage& page);

}  // namespace vorlintex::wizard
