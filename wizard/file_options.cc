#include "wizard/file_options.h"

#include <vector>

#include "generator/selectable_pages.h"
#include "html/escape.h"

namespace vorlintex::wizard {

Status WriteFileOptions(host::Response& response, Env& env, const std::string& curpath) {
  // A folder that is missing or cannot be read lists nothing, as an empty one does.
  std::vector<std::string> names;
  env.ListFiles(curpath, &names).IgnoreError();
  for (const std::string& name : names) {
    if (!generator::IsSelectablePage(name)) continue;
    const std::string shown = html::HtmlEscape(name);
    Status status = response.Write("<option value=\"" + shown + "\">" + shown + "</option>\r\n");
    if (!status.ok()) return status;
  }
  return Status::OK();
}

}  // namespace vorlintex::wizard
