// The generation run: converts every selected page of the source directory into a class
// module and a replacement page in the target directory, and writes the project, workspace and
// build script files. It returns what happened; whoever started it renders that.
#pragma once

#include <string>
#include <vector>

#include "contract/status.h"
#include "generator/run_summary.h"
#include "generator/services.h"

namespace vorlintex::generator {

// What a run converts: the three fields as the user typed them and the selected pages.
struct RunInput {
  std::string source_dir;
  std::string target_dir;
  std::string dll_name;            // as typed: the run cuts it before ".dll"
  std::vector<std::string> pages;  // file names of the source folder, in the order picked
  // A page a missing include file stops is left out, and the run goes on with the next.
  bool keep_going = false;
  // A site run: pages may also be paths under the source folder ("admin\\default.asp"), each
  // with its class named by its path, its replacement page at its path under the target, and
  // its include files looked for from its own folder (PlaceOf in generator/run_names.h).
  bool subfolders = false;
};

// Runs one generation. Fields that fail the entry page's checks (a blank one, or one folder as
// source and target) refuse the run before any file work (RunEnd::kRefused). A failing file
// operation is recorded and skipped, and the run goes on; a page that cannot be opened, is
// named with a folder part, or whose class name an earlier page took, gets no files and no
// Class line. A missing include file ends the run at its page (kMissingInclude): the pages
// before it keep their new files, and the files not finished are abandoned, their names keeping
// what they had (RunSummary::files_left); with keep_going the page alone is left out, its files
// abandoned, and counted in RunSummary::pages_left_out, and the run goes on. A file
// service object that cannot be made ends it before any file work (kNoFileService, also when
// services.env is null). services.turns may be null.
RunSummary RunGeneration(const RunInput& input, const Services& services);

}  // namespace vorlintex::generator
