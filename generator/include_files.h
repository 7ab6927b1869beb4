// Which of a run's pages are include files. The selection rule takes ".asp" and ".inc" names
// alike, so a site's header.inc or menu.asp is listed among its pages; converted on its own,
// such a file gives the class of a fragment that no browser asks for. A whole-site run leaves
// out the files that another of its pages includes.
#pragma once

#include <string>
#include <vector>

#include "contract/env.h"

namespace vorlintex::generator {

// The pages of `pages` (names or paths under `source_dir`, as SelectablePages and SitePages
// give them) that an include directive of another of them names, in the order of `pages`. A
// directive's file is looked for in the folder of the file that holds it, a "virtual" one from
// `source_dir`; names are compared as Windows compares them (ASCII letter case ignored, "\" and
// "/" alike, "." and ".." resolved). Every page is read once, line by line (a large site's on
// two threads); a page that cannot be read includes nothing (the run reports it).
std::vector<std::string> IncludedPages(Env& env, const std::string& source_dir,
                                       const std::vector<std::string>& pages);

}  // namespace vorlintex::generator
