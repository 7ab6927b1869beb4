// Writes one wizard page through the host. The form pages run without an error trap: the
// first failing host call ends the page, so after a failure the writer makes no further host
// call and the page's code can stay straight-line, one Line per line of the page.
#pragma once

#include <string>
#include <string_view>

#include "component/host.h"
#include "component/status.h"

namespace vorlintex::wizard {

class PageWriter {
 public:
  PageWriter(host::Request& request, host::Session& session, host::Response& response)
      : request_(request), session_(session), response_(response) {}

  // One output line: one Write of `text` followed by CR LF.
  void Line(std::string_view text);
  // Lines of the form `before` + value + `after`, the value HTML-escaped.
  void ValueLine(std::string_view before, std::string_view value, std::string_view after);

  // The request's value for a field, and the session's value for a name; empty after a
  // failure.
  std::string RequestValue(std::string_view name);
  std::string SessionValue(std::string_view name);
  void StoreInSession(std::string_view name, std::string_view value);
  // Takes the outcome of a host call made elsewhere (a block written by another writer).
  void Take(const Status& status);

  host::Response& response() { return response_; }
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }

 private:
  host::Request& request_;
  host::Session& session_;
  host::Response& response_;
  Status status_;
};

}  // namespace vorlintex::wizard
