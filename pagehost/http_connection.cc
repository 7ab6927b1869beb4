#include "pagehost/http_connection.h"

#include <algorithm>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/read_size.hpp>
#include <boost/beast/http/read.hpp>
#include <utility>

#include "pagehost/http_response.h"

namespace vorlintex::pagehost {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using boost::beast::error_code;

// Buffers larger than this are given back after a request rather than kept for the next.
constexpr size_t kKeptBuffer = 16 * 1024;
// The most read from a socket at once.
constexpr size_t kReadChunk = 64 * 1024;
// A connection closed after an answer is read (and what comes discarded) this long more: closed
// with unread bytes, the system would reset it, and the client could lose the answer (a 413 to
// a body it is still sending).
constexpr auto kLingering = std::chrono::seconds(2);

}  // namespace

HttpConnection::HttpConnection(ConnectionShared* shared, asio::ip::tcp::socket socket)
    : shared_(*shared), socket_(std::move(socket)) {
  open_at_ = shared_.open.insert(shared_.open.end(), this);
}

HttpConnection::~HttpConnection() { Close(); }

void HttpConnection::Start() { ReadHead(Clock::now()); }

void HttpConnection::Close() {
  if (phase_ == Phase::kClosed) return;
  phase_ = Phase::kClosed;
  deadline_ = Clock::time_point::max();
  error_code ignored;
  // The write in progress, if any, is cancelled with the socket and touches out_ no more.
  socket_.close(ignored);
  shared_.bodies.Release(std::exchange(body_counted_, 0));
  ReleaseOutput();
  shared_.open.erase(open_at_);
}

void HttpConnection::ReleaseOutput() {
  shared_.answers.Release(out_counted_);
  out_counted_ = 0;
  out_sent_ = 0;
  std::string().swap(out_);
}

void HttpConnection::DropSlowestReaders(ConnectionShared& shared, const HttpConnection* keep) {
  while (shared.answers.Short()) {
    HttpConnection* slowest = nullptr;
    for (HttpConnection* other : shared.open) {
      if (other != keep && other->phase_ == Phase::kWriting &&
          (!slowest || other->out_progress_at_ < slowest->out_progress_at_)) {
        slowest = other;
      }
    }
    if (!slowest) return;
    slowest->Close();
  }
}

bool HttpConnection::Closable() const {
  return (phase_ == Phase::kHead && !head_started_) || phase_ == Phase::kLingering;
}

void HttpConnection::Sweep(Clock::time_point now) {
  if (now < deadline_) return;
  deadline_ = Clock::time_point::max();
  expired_ = true;
  error_code ignored;
  socket_.cancel(ignored);  // the waiting handler sees expired_
}

std::string_view HttpConnection::Unparsed() const {
  auto bytes = in_.data();
  return std::string_view(static_cast<const char*>(bytes.data()), bytes.size());
}

void HttpConnection::ReadHead(Clock::time_point now) {
  phase_ = Phase::kHead;
  expired_ = false;
  head_ = HttpRequestHead();
  head_started_ = false;
  deadline_ = now + shared_.timeouts.idle;
  parser_.emplace();
  LimitParser(shared_.limits, &*parser_);
  ParseHead();  // a pipelined request may be here already
}

// Beast's own read loop, with the page host's checks between reads: the head's deadline runs
// from its first byte, and a request line over its limit is refused before its end arrives.
void HttpConnection::ParseHead() {
  error_code error = http::error::need_more;
  if (in_.size() > 0) {
    if (!head_started_) {
      head_started_ = true;
      deadline_ = Clock::now() + shared_.timeouts.head;
    }
    error = {};
    in_.consume(parser_->put(in_.data(), error));
    if (!error && !parser_->is_header_done()) error = http::error::need_more;
  }
  if (error != http::error::need_more) {
    OnHead(error);
    return;
  }
  if (std::optional<HttpHeadError> too_long =
          JudgeRequestLine(*parser_, Unparsed(), shared_.limits)) {
    TakeRequestLine(*parser_, &head_);
    Fail(*too_long);
    return;
  }
  socket_.async_read_some(in_.prepare(boost::beast::read_size(in_, kReadChunk)),
                          [self = shared_from_this()](error_code error, size_t bytes) {
                            self->OnHeadBytes(error, bytes);
                          });
}

void HttpConnection::OnHeadBytes(error_code error, size_t bytes) {
  if (phase_ == Phase::kClosed) return;
  // Bytes that came as the deadline passed do not save the head: its deadline is gone.
  if (error || expired_) {
    if (expired_ && head_started_) {
      Fail(HttpHeadError{408, "The request head did not arrive in time."});
    } else {
      Close();  // the client left, or kept an idle connection too long
    }
    return;
  }
  in_.commit(bytes);
  ParseHead();
}

void HttpConnection::OnHead(error_code error) {
  const Clock::time_point now = Clock::now();
  if (error) {
    TakeRequestLine(*parser_, &head_);
    Fail(HeadFailure(error, *parser_, Unparsed(), shared_.limits));
    return;
  }
  head_whole_at_ = now;
  if (std::optional<HttpHeadError> failure = JudgeHead(*parser_, shared_.limits, &head_)) {
    Fail(*failure);
    return;
  }
  // Refused on its head alone, before a byte of the body is read.
  if (std::optional<HostResponse> refusal =
          shared_.page_host.Refusal(ToHostRequest(head_, std::string_view()))) {
    shared_.log.Write(head_.method, head_.path, *refusal, now);
    // A refused body is left unread, so what follows it cannot be told from a next request.
    Respond(*refusal, !head_.keep_alive || !parser_->is_done(), false);
    return;
  }
  if (parser_->is_done()) {
    Dispatch();
    return;
  }
  if (!shared_.bodies.TryTake(head_.content_length)) {
    HostResponse busy = ErrorPage(503,
                                  "The server is receiving as many request bodies as it can "
                                  "hold; send the form again in a moment.");
    shared_.log.Write(head_.method, head_.path, busy, now);
    parser_.reset();  // and the buffer it made for the body
    Respond(busy, true, false);
    return;
  }
  body_counted_ = head_.content_length;
  phase_ = Phase::kBody;
  expired_ = false;
  const HttpTimeouts& timeouts = shared_.timeouts;
  auto in_proportion = std::chrono::milliseconds(
      head_.content_length * 1000 / std::max<size_t>(1, timeouts.body_bytes_per_second));
  deadline_ = now + std::max<std::chrono::milliseconds>(timeouts.body_floor, in_proportion);
  if (!head_.expect_continue) {
    ReadBody();
    return;
  }
  // The client holds the body back until told to send it (or for a while, then sends anyway).
  static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
  asio::async_write(socket_, asio::buffer(kContinue.data(), kContinue.size()),
                    [self = shared_from_this()](error_code error, size_t) {
                      if (self->phase_ == Phase::kClosed) return;
                      if (error) {
                        self->OnBody(error);
                        return;
                      }
                      self->ReadBody();
                    });
}

void HttpConnection::ReadBody() {
  http::async_read(socket_, in_, *parser_,
                   [self = shared_from_this()](error_code error, size_t) { self->OnBody(error); });
}

void HttpConnection::OnBody(error_code error) {
  if (phase_ == Phase::kClosed) return;
  if (error) {
    shared_.bodies.Release(std::exchange(body_counted_, 0));
    if (expired_) {
      Fail(HttpHeadError{408, "The request body did not arrive in time."});
    } else {
      Close();
    }
    return;
  }
  Dispatch();
}

void HttpConnection::Dispatch() {
  phase_ = Phase::kHandling;
  deadline_ = Clock::time_point::max();
  std::string body = std::move(parser_->get().body());
  parser_.reset();
  // The body counts until its page has run: waiting for a worker, it is held all the same.
  const size_t body_counted = std::exchange(body_counted_, 0);
  // The worker reads head_ alone; the I/O thread leaves it be until the answer is back.
  shared_.workers.Run([self = shared_from_this(), body = std::move(body), body_counted]() mutable {
    ConnectionShared& shared = self->shared_;
    HostResponse response = shared.page_host.Handle(ToHostRequest(self->head_, body));
    std::string().swap(body);
    shared.bodies.Release(body_counted);
    shared.log.Write(self->head_.method, self->head_.path, response, self->head_whole_at_);
    // The bytes are made here, not on the I/O thread: a large page copied there holds up every
    // connection, while the answers made meanwhile wait in its queue.
    const bool close = !self->head_.keep_alive;
    std::string bytes = ResponseBytes(response, self->Framing(close, false));
    response = HostResponse();
    shared.answers.Take(bytes.size());
    // The connection is released on the I/O thread, never on a worker.
    asio::post(shared.io, [self = std::move(self), close, bytes = std::move(bytes)]() mutable {
      if (self->phase_ == Phase::kClosed) {
        self->shared_.answers.Release(bytes.size());
        return;
      }
      self->Send(std::move(bytes), close);
    });
  });
}

void HttpConnection::Fail(const HttpHeadError& error) {
  HostResponse page = ErrorPage(error.status, error.detail);
  shared_.log.Write(head_.method, head_.path, page, std::nullopt);
  Respond(page, true, true);
}

ResponseFraming HttpConnection::Framing(bool close, bool failed) const {
  ResponseFraming framing;
  framing.head_only = !failed && head_.method == "HEAD";
  framing.close = close;
  framing.keep_alive_1_0 = !close && head_.minor_version == 0;
  return framing;
}

void HttpConnection::Respond(const HostResponse& response, bool close, bool failed) {
  std::string bytes = ResponseBytes(response, Framing(close, failed));
  shared_.answers.Add(bytes.size());
  Send(std::move(bytes), close);
}

void HttpConnection::Send(std::string bytes, bool close) {
  out_ = std::move(bytes);
  out_sent_ = 0;
  // Counted when made; the whole answer counts until it is all sent, as it is held whole.
  out_counted_ = out_.size();
  close_after_output_ = close;
  phase_ = Phase::kWriting;
  expired_ = false;
  out_progress_at_ = Clock::now();
  deadline_ = out_progress_at_ + shared_.timeouts.write_stall;
  DropSlowestReaders(shared_, this);
  WriteSome();
}

void HttpConnection::WriteSome() {
  socket_.async_write_some(
      asio::buffer(out_.data() + out_sent_, out_.size() - out_sent_),
      [self = shared_from_this()](error_code error, size_t bytes) { self->OnWrite(error, bytes); });
}

void HttpConnection::OnWrite(error_code error, size_t bytes) {
  if (phase_ == Phase::kClosed) return;
  if (error || expired_) {
    Close();  // the client is gone, or read nothing for too long
    return;
  }
  out_sent_ += bytes;
  const Clock::time_point now = Clock::now();
  if (out_sent_ < out_.size()) {
    out_progress_at_ = now;
    deadline_ = now + shared_.timeouts.write_stall;
    WriteSome();
    return;
  }
  shared_.answers.Release(out_counted_);
  out_counted_ = 0;
  out_sent_ = 0;
  out_.clear();
  if (out_.capacity() > kKeptBuffer) std::string().swap(out_);
  if (close_after_output_) {
    Linger();
    return;
  }
  if (in_.size() == 0 && in_.capacity() > kKeptBuffer) in_.shrink_to_fit();
  ReadHead(now);
}

void HttpConnection::Linger() {
  phase_ = Phase::kLingering;
  expired_ = false;
  deadline_ = Clock::now() + kLingering;
  error_code ignored;
  socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  in_.clear();
  in_.shrink_to_fit();
  socket_.async_read_some(asio::buffer(shared_.discard),
                          [self = shared_from_this()](error_code error, size_t bytes) {
                            self->OnDiscarded(error, bytes);
                          });
}

void HttpConnection::OnDiscarded(error_code error, size_t) {
  if (phase_ == Phase::kClosed) return;
  if (error || expired_) {
    Close();  // the client has read the answer and closed, or the time is up
    return;
  }
  socket_.async_read_some(asio::buffer(shared_.discard),
                          [self = shared_from_this()](error_code error, size_t bytes) {
                            self->OnDiscarded(error, bytes);
                          });
}

}  // namespace vorlintex::pagehost
