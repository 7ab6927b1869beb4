// Writes a rendered page line by line to the response, keeping the code of a page as
// straight as the page itself: each Line is one Write of its pieces joined, with CR LF
// appended. After the first failing Write nothing more is written, and status() tells it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "component/host.h"
#include "component/status.h"

namespace vorlintex::generator {

// The pieces joined without separators.
std::string Join(std::initializer_list<std::string_view> pieces);

class PageWriter {
 public:
  explicit PageWriter(host::Response& response) : response_(response) {}

  // One Write: the pieces, then CR LF.
  void Line(std::initializer_list<std::string_view> pieces);
  // One Write: the pieces, no line end.
  void Text(std::initializer_list<std::string_view> pieces);

  const Status& status() const { return status_; }

 private:
  void Write(std::string text);

  host::Response& response_;
  Status status_;
};

}  // namespace vorlintex::generator
