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

}  // namespace vorlintex::generator
