// Writes a rendered page line by line to the response, keeping the code of a page as
// straight as the page itself: each Line is one Write of its pieces joined, with CR LF
// appended. The pages run without an error trap, so after the first failing Write (or a
// failure handed in by Take) nothing more is written, and status() tells it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "contract/host.h"
#include "contract/join.h"
#include "contract/status.h"

namespace vorlintex::html {

class PageWriter {
 public:
  explicit PageWriter(host::Response& response) : response_(response) {}

  // One Write: the pieces, then CR LF.
  void Line(std::initializer_list<std::string_view> pieces);
  void Line(std::string_view text) { Line({text}); }
  // One Write: the pieces, no line end.
  void Text(std::initializer_list<std::string_view> pieces);
  // One line: `before`, the value HTML-escaped, `after`.
  void ValueLine(std::string_view before, std::string_view value, std::string_view after);
  // Takes the outcome of a host call made elsewhere; a failure stops the page here.
  void Take(const Status& status);

  host::Response& response() { return response_; }
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }

 private:
  void Write(std::string text);

  host::Response& response_;
  Status status_;
};

}  // namespace vorlintex::html
