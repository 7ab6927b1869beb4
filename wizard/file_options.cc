#include "wizard/file_options.h"

#include "component/ascii.h"
#include "generator/html_escape.h"

namespace vorlintex::wizard {

Status WriteFileOptions(host::Response& response, Env& env, const std::string& curpath) {
  for (const std::string& name : env.ListFiles(curpath)) {
    const std::string lower = AsciiLower(name);
    if (lower.find(".asp") == std::string::npos && lower.find(".inc") == std::string::npos) {
      continue;
    }
    const std::string shown = generator::HtmlEscape(name);
    Status status = response.Write("<option value=\"" + shown + "\">" + shown + "</option>\r\n");
    if (!status.ok()) return status;
  }
  return Status::OK();
}

}  // namespace vorlintex::wizard
