#include "pagehost/http_request_parser.h"

#include "contract/ascii.h"

namespace vorlintex::pagehost {
namespace {

bool IsTokenByte(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!IsTokenByte(c)) return false;
  }
  return true;
}

// Field values may hold tabs, visible bytes and bytes above 0x7f; no other control byte.
bool IsFieldValue(std::string_view text) {
  for (unsigned char c : text) {
    if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX decoded; a '%' without two hex digits after it stays as it is.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         AsciiEqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

HttpRequestParser::State HttpRequestParser::Fail(int status, std::string detail) {
  error_ = HttpHeadError{status, std::move(detail)};
  state_ = State::kError;
  return state_;
}

void HttpRequestParser::Reset() {
  HttpLimits limits = limits_;
  *this = HttpRequestParser(limits);
}

HttpRequestParser::State HttpRequestParser::Parse(std::string_view buffer) {
  if (state_ != State::kNeedMore) return state_;
  for (size_t i = scanned_; i < buffer.size(); ++i) {
    if (buffer[i] != '\n') continue;
    size_t line_end = i > line_start_ && buffer[i - 1] == '\r' ? i - 1 : i;
    bool empty = line_end == line_start_;
    bool request_line = request_line_start_ == std::string_view::npos && !empty;
    // An over-long request line is judged below, before the size of the head, as it is when
    // its bytes come a few at a time.
    if (request_line && line_end - line_start_ > limits_.max_request_line) break;
    if (i + 1 > limits_.max_head) {
      return Fail(
          431, "A request head may hold at most " + std::to_string(limits_.max_head) + " bytes.");
    }
    if (request_line) {
      request_line_start_ = line_start_;
      // Judged at once, so a request for another version is not kept waiting for its head.
      if (!ParseRequestLine(buffer.substr(line_start_, line_end - line_start_))) return state_;
    } else if (request_line_start_ == std::string_view::npos) {
      // An empty line before the request line: skipped.
    } else if (empty) {
      scanned_ = i + 1;
      head_size_ = i + 1;
      return ParseHead(buffer.substr(request_line_start_, head_size_ - request_line_start_));
    } else if (++header_lines_ > limits_.max_header_lines) {
      return Fail(431, "A request may have at most " + std::to_string(limits_.max_header_lines) +
                           " header lines.");
    }
    line_start_ = i + 1;
  }
  scanned_ = buffer.size();
  if (request_line_start_ == std::string_view::npos) {
    // Still in the request line (or its line has just ended over the limit).
    std::string_view line = buffer.substr(line_start_);
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // its end may be next
    if (line.size() > limits_.max_request_line) {
      // Judged on the bytes up to the limit, so the verdict does not hang on how many came.
      if (line.substr(0, limits_.max_request_line + 1).find(' ') == std::string_view::npos) {
        return Fail(400, "The request line is not of the form METHOD TARGET HTTP/1.1.");
      }
      return Fail(414, "A request line may hold at most " +
                           std::to_string(limits_.max_request_line) + " bytes.");
    }
  }
  if (buffer.size() > limits_.max_head) {
    return Fail(431,
                "A request head may hold at most " + std::to_string(limits_.max_head) + " bytes.");
  }
  started_ = request_line_start_ != std::string_view::npos ||
             (buffer.size() > line_start_ && buffer.substr(line_start_) != "\r");
  return state_;
}

HttpRequestParser::State HttpRequestParser::ParseHead(std::string_view head) {
  head.remove_prefix(head.find('\n') + 1);  // the request line, parsed already
  while (!head.empty()) {
    size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    head.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;
    if (!ParseHeaderLine(line)) return state_;
  }
  if (head_.content_length > limits_.max_body) {
    return Fail(413,
                "A request body may hold at most " + std::to_string(limits_.max_body) + " bytes.");
  }
  if (connection_close_) {
    head_.keep_alive = false;
  } else if (connection_keep_alive_) {
    head_.keep_alive = true;
  }
  state_ = State::kDone;
  return state_;
}

bool HttpRequestParser::ParseRequestLine(std::string_view line) {
  size_t first_space = line.find(' ');
  size_t second_space =
      first_space == std::string_view::npos ? first_space : line.find(' ', first_space + 1);
  if (second_space == std::string_view::npos ||
      line.find(' ', second_space + 1) != std::string_view::npos) {
    Fail(400, "The request line is not of the form METHOD TARGET HTTP/1.1.");
    return false;
  }
  std::string_view method = line.substr(0, first_space);
  std::string_view target = line.substr(first_space + 1, second_space - first_space - 1);
  std::string_view version = line.substr(second_space + 1);
  if (!IsToken(method)) {
    Fail(400, "The request method is not a token.");
    return false;
  }
  bool versioned = version.size() == 8 && version.substr(0, 5) == "HTTP/" && version[5] >= '0' &&
                   version[5] <= '9' && version[6] == '.' && version[7] >= '0' && version[7] <= '9';
  if (!versioned) {
    Fail(400, "The request line does not end in an HTTP version.");
    return false;
  }
  if (version != "HTTP/1.1" && version != "HTTP/1.0") {
    Fail(505, "This server speaks HTTP/1.0 and HTTP/1.1.");
    return false;
  }
  for (unsigned char c : target) {
    if (c < 0x21 || c == 0x7f) {
      Fail(400, "The request target holds a control byte.");
      return false;
    }
  }
  if (StartsWithIgnoringCase(target, "http://") || StartsWithIgnoringCase(target, "https://")) {
    // The absolute form: the path starts after the authority.
    std::string_view rest = target.substr(target.find("//") + 2);
    size_t slash = rest.find_first_of("/?");
    target = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    if (target.front() == '?') {
      head_.path = "/";
      head_.query = std::string(target.substr(1));
      target = std::string_view();
    }
  } else if (target != "*" && target.front() != '/') {
    Fail(400, "The request target is not a path.");
    return false;
  }
  if (!target.empty()) {
    size_t question = target.find('?');
    head_.path = PercentDecoded(target.substr(0, question));
    if (question != std::string_view::npos) head_.query = std::string(target.substr(question + 1));
  }
  head_.method = std::string(method);
  head_.minor_version = version[7] - '0';
  head_.keep_alive = head_.minor_version == 1;
  return true;
}

bool HttpRequestParser::ParseHeaderLine(std::string_view line) {
  if (line.front() == ' ' || line.front() == '\t') {
    Fail(400, "A header line is folded onto the next; folding is obsolete.");
    return false;
  }
  size_t colon = line.find(':');
  std::string_view name = line.substr(0, colon);
  if (colon == std::string_view::npos || !IsToken(name)) {
    Fail(400, "A header line is not of the form Name: value.");
    return false;
  }
  std::string_view value = TrimBlanks(line.substr(colon + 1));
  if (!IsFieldValue(value)) {
    Fail(400, "The header " + std::string(name) + " holds a control byte.");
    return false;
  }
  if (AsciiEqualIgnoringCase(name, "Content-Length")) {
    if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
      Fail(400, "Content-Length must be a number of bytes.");
      return false;
    }
    size_t length = 0;
    for (char c : value) {
      size_t digit = static_cast<size_t>(c - '0');
      // Past the body limit the exact number does not matter, only that it is too large.
      length = length > limits_.max_body ? length : length * 10 + digit;
    }
    if (has_content_length_ && length != head_.content_length) {
      Fail(400, "Content-Length is given twice with different values.");
      return false;
    }
    has_content_length_ = true;
    head_.content_length = length;
    return true;
  }
  if (AsciiEqualIgnoringCase(name, "Transfer-Encoding")) {
    if (AsciiEqualIgnoringCase(value, "chunked")) {
      Fail(411,
           "A request body must be sent with Content-Length; this server does not take chunked "
           "bodies.");
    } else {
      Fail(501, "This server does not take a request body in the transfer coding " +
                    std::string(value) + ".");
    }
    return false;
  }
  if (AsciiEqualIgnoringCase(name, "Connection")) {
    while (!value.empty()) {
      size_t comma = value.find(',');
      std::string_view option = TrimBlanks(value.substr(0, comma));
      if (AsciiEqualIgnoringCase(option, "close")) connection_close_ = true;
      if (AsciiEqualIgnoringCase(option, "keep-alive")) connection_keep_alive_ = true;
      value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    }
    return true;
  }
  struct Single {
    std::string_view name;
    std::optional<std::string>* field;
  };
  const Single singles[] = {
      {"Host", &head_.host},     {"Content-Type", &head_.content_type},
      {"Origin", &head_.origin}, {"Referer", &head_.referer},
      {"Cookie", &head_.cookie}, {"Sec-Fetch-Site", &head_.fetch_site},
  };
  for (const Single& single : singles) {
    if (!AsciiEqualIgnoringCase(name, single.name)) continue;
    if (single.field->has_value()) {
      // Which of two would count is a matter of opinion between servers and proxies.
      Fail(400, "The header " + std::string(single.name) + " is given more than once.");
      return false;
    }
    *single.field = std::string(value);
    return true;
  }
  return true;
}

}  // namespace vorlintex::pagehost
