// The bytes of an HTTP/1.1 response to a PageHost answer.
#pragma once

#include <string>
#include <string_view>

#include "pagehost/page_host.h"

namespace vorlintex::pagehost {

struct ResponseFraming {
  bool head_only = false;       // a HEAD request: the length of the body, not the body
  bool close = false;           // the connection ends after this response
  bool keep_alive_1_0 = false;  // an HTTP/1.0 client asked to keep the connection
};

// The status line, PageHost's headers, Content-Type, Content-Length, the connection's fate,
// and the body.
std::string ResponseBytes(const HostResponse& response, ResponseFraming framing);

// "OK", "Not Found", ...: Boost.Beast's phrase for the status; "Error" for a status it does not
// know.
std::string_view StatusReason(int status);

}  // namespace vorlintex::pagehost
