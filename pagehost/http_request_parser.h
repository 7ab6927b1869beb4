// The head of one HTTP/1.x request, parsed as its bytes arrive and held to fixed limits, so a
// client can make the server neither keep an unbounded head nor read a body it will refuse.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlintex::pagehost {

struct HttpLimits {
  // The request line; a longer one is answered 414 (or 400 when it is not a request line).
  size_t max_request_line = 8 * 1024;
  // The whole head and its number of header lines (431 beyond either).
  size_t max_head = 64 * 1024;
  size_t max_header_lines = 100;
  // A declared body longer than this is answered 413 without being read.
  size_t max_body = 1 << 20;
};

// What a request head says that the page host needs; headers it does not use are checked and
// dropped.
struct HttpRequestHead {
  std::string method;
  std::string path;   // percent-decoded, without the query string
  std::string query;  // after "?", still encoded
  int minor_version = 1;
  size_t content_length = 0;
  bool keep_alive = true;
  std::optional<std::string> content_type;
  std::optional<std::string> host;
  std::optional<std::string> origin;
  std::optional<std::string> referer;
  std::optional<std::string> cookie;
  std::optional<std::string> fetch_site;  // Sec-Fetch-Site
};

struct HttpHeadError {
  int status = 400;
  std::string detail;
};

// Finds the end of a request head in a growing buffer without scanning any byte twice, and
// parses the head once it is whole. Line ends are CR LF or a bare LF; empty lines before the
// request line are skipped.
class HttpRequestParser {
 public:
  enum class State { kNeedMore, kDone, kError };

  explicit HttpRequestParser(HttpLimits limits) : limits_(limits) {}

  // `buffer` holds the bytes received so far for this request, from its start, as on the last
  // call plus what has come since.
  State Parse(std::string_view buffer);

  // After kDone: the head, and the number of bytes it took (what follows is the body).
  const HttpRequestHead& head() const { return head_; }
  size_t head_size() const { return head_size_; }
  // After kError.
  const HttpHeadError& error() const { return error_; }
  // True when some byte of a request line has arrived (not only empty lines).
  bool started() const { return started_; }

  // Ready for the next request on the connection.
  void Reset();

 private:
  State Fail(int status, std::string detail);
  State ParseHead(std::string_view head);
  bool ParseRequestLine(std::string_view line);
  bool ParseHeaderLine(std::string_view line);

  HttpLimits limits_;
  State state_ = State::kNeedMore;
  size_t scanned_ = 0;
  size_t line_start_ = 0;
  size_t request_line_start_ = std::string_view::npos;
  size_t header_lines_ = 0;
  size_t head_size_ = 0;
  HttpRequestHead head_;
  HttpHeadError error_;
  bool has_content_length_ = false;
  bool connection_close_ = false;
  bool connection_keep_alive_ = false;
  bool started_ = false;
};

}  // namespace vorlintex::pagehost
