// The short page that takes a converted page's place on the web server: it creates the
// generated class by its ProgID and calls its page method.
#pragma once

#include <string>

#include "contract/output_file.h"

namespace vorlintex::generator {

// The six lines; the caller closes the file. Write failures are recorded by the file.
void WriteReplacementPage(OutputFile& page, const std::string& base_name,
                          const std::string& dll_name);

}  // namespace vorlintex::generator
