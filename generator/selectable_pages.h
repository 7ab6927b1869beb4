// Which files of a source folder are offered for conversion: the rule the selection page
// lists by, and the command line's --all takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "contract/env.h"

namespace vorlintex::generator {

// True when the lower-cased `name` holds ".asp" or ".inc".
bool IsSelectablePage(std::string_view name);

// The names the selection page lists for `source_dir`, in its order: the listing of
// `source_dir` + "\*.asp", kept where IsSelectablePage holds.
Status SelectablePages(Env& env, const std::string& source_dir, std::vector<std::string>* pages);

// The pages of a whole site: SelectablePages of `source_dir` and of every folder under it
// (Env::ListFolders: hidden folders and links left out), each a path under `source_dir`
// ("admin\\default.asp"), a folder's own pages before those of its subfolders, folders in
// listing order. Adds the folders walked, `source_dir` among them, to *folders. Only the
// names are held, and the folders still to walk. On failure *pages is empty and the status is
// the first listing that failed, its path named.
Status SitePages(Env& env, const std::string& source_dir, std::vector<std::string>* pages,
                 size_t* folders);

}  // namespace vorlintex::generator
