#include "pagehost/http_connection.h"

#include <algorithm>
#include <utility>

#include "pagehost/http_response.h"

namespace vorlintex::pagehost {
namespace {

// Buffers larger than this are given back after a request rather than kept for the next.
constexpr size_t kKeptBuffer = 16 * 1024;

void Release(std::string* buffer) {
  if (buffer->capacity() > kKeptBuffer) {
    std::string(*buffer).swap(*buffer);
  }
}

}  // namespace

HttpConnection::HttpConnection(HttpLimits limits, HttpTimeouts timeouts, SteadyTime now)
    : timeouts_(timeouts), parser_(limits), waiting_since_(now) {}

bool HttpConnection::Idle() const {
  return state_ == State::kReading && !head_started_ && !reading_body_;
}

void HttpConnection::Received(std::string_view bytes, SteadyTime now) {
  if (state_ != State::kReading) return;
  in_.append(bytes);
  Advance(now);
}

void HttpConnection::Advance(SteadyTime now) {
  if (state_ != State::kReading) return;
  if (reading_body_) {
    if (in_.size() - parser_.head_size() >= parser_.head().content_length) {
      state_ = State::kRequestReady;
    }
    return;
  }
  HttpRequestParser::State parsed = parser_.Parse(in_);
  if (!head_started_ && parser_.started()) {
    head_started_ = true;
    waiting_since_ = now;
  }
  if (parsed == HttpRequestParser::State::kError) {
    error_ = parser_.error();
    state_ = State::kFailed;
  } else if (parsed == HttpRequestParser::State::kDone) {
    state_ = State::kHeadReady;
  }
}

void HttpConnection::ReadBody(SteadyTime now) {
  if (state_ != State::kHeadReady) return;
  state_ = State::kReading;
  reading_body_ = true;
  waiting_since_ = now;
  Advance(now);
}

HttpRequest HttpConnection::TakeRequest() {
  HttpRequest request;
  request.head = parser_.head();
  const size_t head_size = parser_.head_size();
  request.body = in_.substr(head_size, request.head.content_length);
  in_.erase(0, head_size + request.head.content_length);
  Release(&in_);
  state_ = State::kHandling;
  return request;
}

void HttpConnection::Respond(const HostResponse& response, SteadyTime now) {
  bool failed = state_ == State::kFailed;
  bool refused = state_ == State::kHeadReady;
  if (!failed && !refused && state_ != State::kHandling) return;
  const HttpRequestHead& head = parser_.head();
  ResponseFraming framing;
  framing.head_only = !failed && head.method == "HEAD";
  // A refused body is left unread, so what follows it cannot be told from a next request.
  framing.close = failed || !head.keep_alive || (refused && head.content_length > 0);
  framing.keep_alive_1_0 = !framing.close && head.minor_version == 0;
  if (refused && !framing.close) {
    in_.erase(0, parser_.head_size());
    Release(&in_);
  }
  out_ = ResponseBytes(response, framing);
  out_sent_ = 0;
  close_after_output_ = framing.close;
  write_progress_ = now;
  state_ = State::kWriting;
}

void HttpConnection::Sent(size_t bytes, SteadyTime now) {
  if (state_ != State::kWriting) return;
  out_sent_ = std::min(out_.size(), out_sent_ + bytes);
  if (bytes > 0) write_progress_ = now;
  if (out_sent_ < out_.size()) return;
  out_.clear();
  out_sent_ = 0;
  Release(&out_);
  if (close_after_output_) {
    state_ = State::kClosed;
    return;
  }
  StartNextRequest(now);
}

void HttpConnection::StartNextRequest(SteadyTime now) {
  parser_.Reset();
  head_started_ = false;
  reading_body_ = false;
  waiting_since_ = now;
  state_ = State::kReading;
  Advance(now);  // a pipelined request may be here already
}

SteadyTime HttpConnection::Deadline() const {
  switch (state_) {
    case State::kReading:
      if (reading_body_) {
        auto in_proportion = std::chrono::milliseconds(parser_.head().content_length * 1000 /
                                                       timeouts_.body_bytes_per_second);
        return waiting_since_ +
               std::max<std::chrono::milliseconds>(timeouts_.body_floor, in_proportion);
      }
      return waiting_since_ + (head_started_ ? timeouts_.head : timeouts_.idle);
    case State::kWriting:
      return write_progress_ + timeouts_.write_stall;
    default:
      return SteadyTime::max();
  }
}

void HttpConnection::Expire(SteadyTime now) {
  if (now < Deadline()) return;
  if (state_ == State::kReading && (head_started_ || reading_body_)) {
    error_ = HttpHeadError{408, reading_body_ ? "The request body did not arrive in time."
                                              : "The request head did not arrive in time."};
    state_ = State::kFailed;
    return;
  }
  state_ = State::kClosed;
}

}  // namespace vorlintex::pagehost
