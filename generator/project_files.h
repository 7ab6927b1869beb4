// The Visual Basic 6 project file of a run and the workspace file of each converted page, in
// Visual Basic 6's own line formats. Write failures are recorded by the files.
#pragma once

#include <string>

#include "contract/output_file.h"

namespace vorlintex::generator {

// The three header lines: the project type and the two type library references, which name
// files in `windows_dir` (no trailing separator; may be empty). With `regexp_reference`, a
// fourth: the VBScript regular expression library, which pages that use RegExp need.
void WriteProjectHeader(OutputFile& project, const std::string& windows_dir,
                        bool regexp_reference = false);

// The project's line for one converted page.
void WriteClassLine(OutputFile& project, const std::string& base_name);

// The project trailer, 31 lines; the project is named "t" and the DLL name.
void WriteProjectTrailer(OutputFile& project, const std::string& dll_name);

// The workspace file's one line.
void WriteWorkspaceLine(OutputFile& workspace, const std::string& base_name);

}  // namespace vorlintex::generator
