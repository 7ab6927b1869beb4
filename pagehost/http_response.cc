#include "pagehost/http_response.h"

namespace vorlintex::pagehost {

std::string_view StatusReason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 414:
      return "URI Too Long";
    case 415:
      return "Unsupported Media Type";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
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
