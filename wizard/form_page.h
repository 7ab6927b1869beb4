// A form page of the wizard being written: the page writer, plus the request and session
// reads the page makes between its lines. The form pages run without an error trap, so the
// first failing host call, a Write or a read, ends the page: after it no further host call
// is made, and the page's code can stay straight-line, one Line per line of the page.
#pragma once

#include <string>
#include <string_view>

#include "contract/host.h"
#include "html/page_writer.h"

namespace vorlintex::wizard {

class FormPage : public html::PageWriter {
 public:
  FormPage(host::Request& request, host::Session& session, host::Response& response)
      : html::PageWriter(response), request_(request), session_(session) {}

  // The request's value for a field, and the session's value for a name; empty after a
  // failure.
  std::string RequestValue(std::string_view name);
  std::string SessionValue(std::string_view name);
  void StoreInSession(std::string_view name, std::string_view value);

 private:
  host::Request& request_;
  host::Session& session_;
};

}  // namespace vorlintex::wizard
