#include "pagehost/http_response.h"

#include <boost/beast/http/status.hpp>

namespace vorlintex::pagehost {

namespace http = boost::beast::http;

std::string_view StatusReason(int status) {
  const http::status known = http::int_to_status(static_cast<unsigned>(status));
  if (known == http::status::unknown) return "Error";
  return http::obsolete_reason(known);
}

std::string ResponseBytes(const HostResponse& response, ResponseFraming framing) {
  std::string out;
  out.reserve(256 + (framing.head_only ? 0 : response.body.size()));
  out.append("HTTP/1.1 ").append(std::to_string(response.status)).append(" ");
  out.append(StatusReason(response.status)).append("\r\n");
  for (const auto& [name, value] : response.headers) {
    out.append(name).append(": ").append(value).append("\r\n");
  }
  if (!response.content_type.empty()) {
    out.append("Content-Type: ").append(response.content_type).append("\r\n");
  }
  out.append("Content-Length: ").append(std::to_string(response.body.size())).append("\r\n");
  if (framing.close) {
    out.append("Connection: close\r\n");
  } else if (framing.keep_alive_1_0) {
    out.append("Connection: keep-alive\r\n");
  }
  out.append("\r\n");
  if (!framing.head_only) out.append(response.body);
  return out;
}

}  // namespace vorlintex::pagehost
