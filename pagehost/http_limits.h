// What the page host allows one HTTP request: its size, and how long each part may take.
#pragma once

#include <chrono>
#include <cstddef>

namespace vorlintex::pagehost {

struct HttpLimits {
  // The request line; a longer one is answered 414 (or 400 when it is not a request line).
  size_t max_request_line = 8 * 1024;
  // The whole head and its number of header lines (431 beyond either).
  size_t max_head = 64 * 1024;
  size_t max_header_lines = 100;
  // A declared body longer than this is answered 413 without being read.
  size_t max_body = 1 << 20;
  // The bytes of answers not yet wholly taken by their clients, all connections together (an
  // answer is held whole until its last byte is sent). Past it,
  // the connection whose client has taken nothing for longest is closed, then the next, so
  // clients that do not read cannot hold the server's memory.
  size_t max_unsent = 64 << 20;
  // The bytes of request bodies being received or waiting for a worker, all connections
  // together, each counted at its declared length. A body that does not fit is answered 503
  // without being read, so clients that send all but the end of their bodies cannot hold the
  // server's memory.
  size_t max_receiving = 64 << 20;
};

struct HttpTimeouts {
  // From the first byte of a request head to its end; a client still sending gets 408.
  std::chrono::milliseconds head{10'000};
  // A body may take this long, or longer in proportion to its size at the rate below.
  std::chrono::milliseconds body_floor{30'000};
  size_t body_bytes_per_second = 32 * 1024;
  // A kept-alive connection with no request in progress is closed after this long.
  std::chrono::milliseconds idle{5'000};
  // An answer whose client reads nothing of it for this long is abandoned.
  std::chrono::milliseconds write_stall{30'000};
};

}  // namespace vorlintex::pagehost
