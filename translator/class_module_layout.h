// The fixed lines of every class module: the header block, the standard methods, and the
// opening and closing of the page method. The passes fill the sections between them.
#pragma once

#include <string_view>

#include "contract/output_file.h"

namespace vorlintex::translator {

// Class header, attributes, member declarations and the "'Global variables" heading.
void WriteHeaderBlock(OutputFile& module, std::string_view base_name);

// Main, OnStartPage and OnEndPage.
void WriteStandardMethods(OutputFile& module);

// The page method's first line and the five Set lines that take the host objects.
void WritePageMethodOpening(OutputFile& module, std::string_view base_name);

// The page method's "End Sub", the last line of the file.
void WritePageMethodClosing(OutputFile& module);

}  // namespace vorlintex::translator
