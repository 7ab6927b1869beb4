// One client connection of the page host without its socket: bytes in become whole requests
// (head, then body), answers become bytes out, and every wait has a deadline against a clock
// value passed in. A request head must arrive whole within a set time of its first byte, so a
// client trickling bytes cannot hold a connection; buffers are released after each request, so
// a large head or body leaves nothing behind.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "pagehost/http_request_parser.h"
#include "pagehost/page_host.h"

namespace vorlintex::pagehost {

using SteadyTime = std::chrono::steady_clock::time_point;

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

struct HttpRequest {
  HttpRequestHead head;
  std::string body;
};

class HttpConnection {
 public:
  enum class State {
    kReading,       // waiting for a request, or for the rest of its head or body
    kHeadReady,     // a head is whole: ReadBody or Respond (a refusal) next
    kRequestReady,  // head and body are whole: TakeRequest next
    kFailed,        // the request cannot be served (error()): Respond next, then the end
    kHandling,      // the request is being answered: Respond next
    kWriting,       // Output() is waiting to be sent
    kClosed,
  };

  HttpConnection(HttpLimits limits, HttpTimeouts timeouts, SteadyTime now);

  State state() const { return state_; }
  // True while the socket should be read.
  bool WantsRead() const { return state_ == State::kReading; }
  // Between requests with nothing of the next one received: the first to close when the
  // server has too many connections.
  bool Idle() const;

  void Received(std::string_view bytes, SteadyTime now);
  // The client closed its side (or the connection broke).
  void Close() { state_ = State::kClosed; }

  // kHeadReady and later: the head of the request in hand.
  const HttpRequestHead& head() const { return parser_.head(); }
  // kFailed: why.
  const HttpHeadError& error() const { return error_; }

  // kHeadReady: goes on to read the body.
  void ReadBody(SteadyTime now);
  // kRequestReady: the request, handed over; the connection waits for its answer.
  HttpRequest TakeRequest();
  // kHeadReady, kFailed or kHandling: the answer. After a refusal of a request whose body was
  // not read, or after a failure, the connection closes once the answer is sent.
  void Respond(const HostResponse& response, SteadyTime now);

  // kWriting: the bytes still to send; Sent reports how many went.
  std::string_view Output() const { return std::string_view(out_).substr(out_sent_); }
  void Sent(size_t bytes, SteadyTime now);

  // When the connection must have moved on; SteadyTime::max() when nothing is awaited from
  // the client.
  SteadyTime Deadline() const;
  // Bytes held in this connection's buffers, used or not.
  size_t BufferedCapacity() const { return in_.capacity() + out_.capacity(); }

  // Called at or after Deadline(): a head or body in progress fails with 408, anything else
  // closes.
  void Expire(SteadyTime now);

 private:
  void Advance(SteadyTime now);
  void StartNextRequest(SteadyTime now);

  HttpTimeouts timeouts_;
  State state_ = State::kReading;
  HttpRequestParser parser_;
  HttpHeadError error_;
  std::string in_;
  bool head_started_ = false;
  bool reading_body_ = false;
  SteadyTime waiting_since_;  // idle since, head begun at, or body begun at
  std::string out_;
  size_t out_sent_ = 0;
  bool close_after_output_ = false;
  SteadyTime write_progress_;
};

}  // namespace vorlintex::pagehost
