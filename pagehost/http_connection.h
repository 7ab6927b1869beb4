// One client connection of the page host on Boost.Asio: reads request heads and bodies with
// Boost.Beast's parser, hands each whole request to the page workers, writes the answers in
// order (keep-alive and pipelining), and closes after a final answer with a lingering read, so
// the client gets the answer even while it is still sending a body it was refused.
//
// Every wait has a deadline, checked by the server's sweep (Sweep below) rather than a timer
// per connection: a request head must be whole within a set time of its first byte, so a
// client trickling bytes cannot hold the connection, and gets 408 (a Beast stream past its
// expiry would close the socket without that answer).
#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <chrono>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pagehost/access_log.h"
#include "pagehost/answer_budget.h"
#include "pagehost/body_budget.h"
#include "pagehost/http_limits.h"
#include "pagehost/http_response.h"
#include "pagehost/page_host.h"
#include "pagehost/page_workers.h"
#include "pagehost/request_head.h"

namespace vorlintex::pagehost {

class HttpConnection;

// What the connections of one server share; used on the I/O thread only, but for `page_host`,
// `log` and `workers`.
struct ConnectionShared {
  boost::asio::io_context& io;
  const PageHost& page_host;
  AccessLog& log;
  PageWorkers& workers;
  AnswerBudget& answers;
  BodyBudget& bodies;
  HttpLimits limits;
  HttpTimeouts timeouts;
  // Every connection not yet closed.
  std::list<HttpConnection*> open;
  // Where lingering reads put what they throw away.
  std::vector<char> discard;
};

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  using Clock = std::chrono::steady_clock;

  HttpConnection(ConnectionShared* shared, boost::asio::ip::tcp::socket socket);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // Starts reading the first request.
  void Start();

  // Called every few milliseconds: notes a head begun since, and ends a wait that is past its
  // deadline (a head or body in progress gets 408, anything else is closed).
  void Sweep(Clock::time_point now);

  // Waiting for a next request with nothing of it received, or lingering after its last
  // answer: what may be closed to make room for a new connection.
  bool Closable() const;
  Clock::time_point deadline() const { return deadline_; }

  void Close();

  // Closes the connections but `keep` that have taken nothing of their answers for longest,
  // until the answers made and wanted fit in their bound again.
  static void DropSlowestReaders(ConnectionShared& shared, const HttpConnection* keep);

 private:
  enum class Phase { kHead, kBody, kHandling, kWriting, kLingering, kClosed };

  void ReadHead(Clock::time_point now);
  void ParseHead();
  void OnHeadBytes(boost::beast::error_code error, size_t bytes);
  // The head is whole, or the parser failed on it.
  void OnHead(boost::beast::error_code error);
  void ReadBody();
  void OnBody(boost::beast::error_code error);
  void Dispatch();
  void Fail(const HttpHeadError& error);
  // `failed`: the request could not be read, so whether it was HEAD is not known.
  void Respond(const HostResponse& response, bool close, bool failed);
  ResponseFraming Framing(bool close, bool failed) const;
  // Writes the bytes of an answer; `close`: the connection ends after them.
  void Send(std::string bytes, bool close);
  // Gives back the answer being written and its share of the bound.
  void ReleaseOutput();
  void WriteSome();
  void OnWrite(boost::beast::error_code error, size_t bytes);
  void Linger();
  void OnDiscarded(boost::beast::error_code error, size_t bytes);
  // What has arrived and the parser has not taken.
  std::string_view Unparsed() const;

  ConnectionShared& shared_;
  boost::asio::ip::tcp::socket socket_;
  std::list<HttpConnection*>::iterator open_at_;
  Phase phase_ = Phase::kHead;
  Clock::time_point deadline_;
  bool head_started_ = false;
  bool expired_ = false;
  boost::beast::flat_buffer in_;
  std::optional<RequestParser> parser_;
  HttpRequestHead head_;
  size_t body_counted_ = 0;  // the body's share of shared_.bodies, while it is received
  Clock::time_point head_whole_at_;
  std::string out_;
  size_t out_sent_ = 0;
  size_t out_counted_ = 0;  // out_'s share of shared_.answers
  // When the client last took bytes of the answer (or it began).
  Clock::time_point out_progress_at_;
  bool close_after_output_ = false;
};

}  // namespace vorlintex::pagehost
