#include "pagehost/request_head.h"

#include <iterator>

#include "contract/ascii.h"
#include "pagehost/percent_decoding.h"

namespace vorlintex::pagehost {
namespace {

namespace http = boost::beast::http;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         AsciiEqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Path and query from the request target; false when the target is not a path.
bool MapTarget(std::string_view target, HttpRequestHead* head) {
  if (StartsWithIgnoringCase(target, "http://") || StartsWithIgnoringCase(target, "https://")) {
    // The absolute form: the path starts after the authority.
    std::string_view rest = target.substr(target.find("//") + 2);
    size_t slash = rest.find_first_of("/?");
    head->target_authority = std::string(rest.substr(0, slash));
    target = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    if (target.front() == '?') {
      head->path = "/";
      head->query = std::string(target.substr(1));
      return true;
    }
  } else if (target != "*" && (target.empty() || target.front() != '/')) {
    return false;
  }
  size_t question = target.find('?');
  head->path = PercentDecoded(target.substr(0, question), PlusSign::kKept);
  if (question != std::string_view::npos) head->query = std::string(target.substr(question + 1));
  return true;
}

// The first line of what was received, without its line end.
std::string_view FirstLine(std::string_view received, size_t at_most) {
  std::string_view line = received.substr(0, at_most);
  line = line.substr(0, line.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsHttpVersion(std::string_view word) {
  return word.size() == 8 && word.substr(0, 5) == "HTTP/" && word[5] >= '0' && word[5] <= '9' &&
         word[6] == '.' && word[7] >= '0' && word[7] <= '9';
}

// Whether `line`, the first line of `received`, ends in a LF with no CR before it.
bool IsBareLfLine(std::string_view received, std::string_view line) {
  return line.size() < received.size() && received[line.size()] == '\n';
}

HttpHeadError LineEndingFailure() {
  return HttpHeadError{400, "A line of the request head does not end in CR LF."};
}

const char kNotARequestLine[] = "The request line is not of the form METHOD TARGET HTTP/1.1.";

}  // namespace

void LimitParser(const HttpLimits& limits, RequestParser* parser) {
  parser->header_limit(static_cast<std::uint32_t>(limits.max_head));
  parser->body_limit(limits.max_body);
}

bool TakeRequestLine(const RequestParser& parser, HttpRequestHead* head) {
  const http::request<http::string_body>& request = parser.get();
  head->method = std::string(request.method_string());
  head->minor_version = request.version() % 10;
  return MapTarget(request.target(), head);
}

std::optional<HttpHeadError> JudgeHead(const RequestParser& parser, const HttpLimits& limits,
                                       HttpRequestHead* head) {
  const http::request<http::string_body>& request = parser.get();
  if (!TakeRequestLine(parser, head)) {
    return HttpHeadError{400, "The request target is not a path."};
  }
  if (auto too_long = JudgeRequestLine(parser, std::string_view(), limits)) return too_long;
  if (static_cast<size_t>(std::distance(request.begin(), request.end())) >
      limits.max_header_lines) {
    return HttpHeadError{431, "A request may have at most " +
                                  std::to_string(limits.max_header_lines) + " header lines."};
  }
  if (request.count(http::field::transfer_encoding) > 0) {
    if (parser.chunked()) {
      return HttpHeadError{411,
                           "A request body must be sent with Content-Length; this server does "
                           "not take chunked bodies."};
    }
    return HttpHeadError{501, "This server does not take a request body in the transfer coding " +
                                  std::string(request[http::field::transfer_encoding]) + "."};
  }
  struct Single {
    std::string_view name;
    std::optional<std::string>* field;
  };
  const Single singles[] = {
      {"Host", &head->host},     {"Content-Type", &head->content_type},
      {"Origin", &head->origin}, {"Referer", &head->referer},
      {"Cookie", &head->cookie}, {"Sec-Fetch-Site", &head->fetch_site},
  };
  for (const Single& single : singles) {
    auto [first, end] = request.equal_range(single.name);
    if (first == end) continue;
    if (std::next(first) != end) {
      // Which of two would count is a matter of opinion between servers and proxies.
      return HttpHeadError{400,
                           "The header " + std::string(single.name) + " is given more than once."};
    }
    *single.field = std::string(first->value());
  }
  // The target's authority names the server the request is for, whatever the Host header
  // says; a client could otherwise pass a foreign name through a good Host.
  if (head->target_authority) head->host = head->target_authority;
  head->content_length = static_cast<size_t>(parser.content_length().value_or(0));
  head->keep_alive = parser.keep_alive();
  head->expect_continue = head->minor_version >= 1 &&
                          AsciiEqualIgnoringCase(request[http::field::expect], "100-continue");
  return std::nullopt;
}

std::optional<HttpHeadError> JudgeRequestLine(const RequestParser& parser,
                                              std::string_view unparsed, const HttpLimits& limits) {
  const http::request<http::string_body>& request = parser.get();
  const std::string_view method = request.method_string();
  size_t size = 0;
  if (!method.empty()) {
    // Method, target and version with a space between.
    size = method.size() + request.target().size() + 10;
  } else {
    // Judged on the bytes up to the limit, so the verdict does not hang on how many came.
    std::string_view line = FirstLine(unparsed, limits.max_head);
    if (line.size() > limits.max_request_line &&
        line.substr(0, limits.max_request_line + 1).find(' ') == std::string_view::npos) {
      return HttpHeadError{400, kNotARequestLine};
    }
    size = line.size();
  }
  if (size <= limits.max_request_line) return std::nullopt;
  return HttpHeadError{414, "A request line may hold at most " +
                                std::to_string(limits.max_request_line) + " bytes."};
}

HttpHeadError HeadFailure(boost::beast::error_code error, const RequestParser& parser,
                          std::string_view unparsed, const HttpLimits& limits) {
  if (error == http::error::header_limit) {
    if (auto too_long = JudgeRequestLine(parser, unparsed, limits)) return *too_long;
    return HttpHeadError{
        431, "A request head may hold at most " + std::to_string(limits.max_head) + " bytes."};
  }
  if (error == http::error::body_limit) {
    return HttpHeadError{
        413, "A request body may hold at most " + std::to_string(limits.max_body) + " bytes."};
  }
  if (error == http::error::bad_content_length) {
    return HttpHeadError{400, "Content-Length must be a number of bytes, given once."};
  }
  if (error == http::error::bad_transfer_encoding) {
    return HttpHeadError{411,
                         "A request body must be sent with Content-Length alone; this server "
                         "does not take chunked bodies."};
  }
  if (error == http::error::bad_version) {
    std::string_view line = FirstLine(unparsed, limits.max_head);
    // The parser takes the version and its CR LF as one: a version followed by a bare LF
    // fails there too, and is a line ending at fault, not a version.
    if (IsBareLfLine(unparsed, line)) return LineEndingFailure();
    if (IsHttpVersion(line.substr(line.rfind(' ') + 1))) {
      return HttpHeadError{505, "This server speaks HTTP/1.0 and HTTP/1.1."};
    }
    return HttpHeadError{400, "The request line does not end in an HTTP version."};
  }
  if (error == http::error::bad_target) {
    return HttpHeadError{400, "The request target holds a control byte or a space."};
  }
  if (error == http::error::bad_field) {
    return HttpHeadError{400, "A header line is not of the form Name: value."};
  }
  if (error == http::error::bad_value) {
    return HttpHeadError{400, "A header value holds a control byte, or is not a valid list."};
  }
  if (error == http::error::bad_line_ending) return LineEndingFailure();
  return HttpHeadError{400, kNotARequestLine};
}

HostRequest ToHostRequest(const HttpRequestHead& head, std::string_view body) {
  HostRequest request;
  request.method = head.method;
  request.path = head.path;
  request.query = head.query;
  request.body = body;
  request.content_type = head.content_type;
  request.host = head.host;
  request.origin = head.origin;
  request.referer = head.referer;
  request.cookie = head.cookie;
  request.fetch_site = head.fetch_site;
  return request;
}

}  // namespace vorlintex::pagehost
