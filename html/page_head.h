// The seven lines that open every page the component renders after its validation script;
// the generation run's page starts with them too.
#pragma once

#include "html/page_writer.h"

namespace vorlintex::html {

void WritePageHead(PageWriter& page);

}  // namespace vorlintex::html
