// A blocking HTTP/1.1 client for the server's tests: sends raw bytes, reads whole responses
// (Content-Length framed), and tells when the server has closed the connection. Every wait is
// given up after a timeout, so a server that hangs fails the test rather than blocking it.
#pragma once

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "contract/ascii.h"

namespace vorlintex::pagehost::testing {

struct ClientResponse {
  int status = 0;
  std::string head;  // status line and headers, as sent
  std::string body;

  // The value of the header `lower_name` (given in lower case); empty when there is none.
  std::string Header(const std::string& lower_name) const {
    std::string lower = head;
    AsciiLowerInPlace(&lower);
    size_t at = lower.find("\r\n" + lower_name + ": ");
    if (at == std::string::npos) return std::string();
    at += lower_name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
  }
};

class TestClient {
 public:
  explicit TestClient(int port, std::chrono::milliseconds timeout = std::chrono::seconds(10))
      : socket_(io_), timeout_(timeout) {
    boost::system::error_code error;
    socket_.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)},
                    error);
  }
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool Send(std::string_view bytes) {
    boost::system::error_code error;
    boost::asio::write(socket_, boost::asio::buffer(bytes.data(), bytes.size()), error);
    return !error;
  }

  // The next response; none when the connection ends or times out before it is whole. A
  // response to HEAD has no body whatever its Content-Length says.
  std::optional<ClientResponse> Read(bool to_head = false) {
    size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
      if (Fill()) return std::nullopt;
    }
    ClientResponse response;
    response.head = buffer_.substr(0, end + 4);
    buffer_.erase(0, end + 4);
    if (response.head.size() < 12) return std::nullopt;
    response.status = std::stoi(response.head.substr(9, 3));
    size_t length = to_head ? 0 : std::stoul("0" + response.Header("content-length"));
    while (buffer_.size() < length) {
      if (Fill()) return std::nullopt;
    }
    response.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    return response;
  }

  // The response to `bytes`; status 0 when none came.
  ClientResponse Request(std::string_view bytes) {
    std::optional<ClientResponse> response;
    if (Send(bytes)) response = Read();
    return response.value_or(ClientResponse());
  }

  // True when the server closes the connection with nothing more sent (false: more bytes came,
  // or the wait timed out).
  bool ClosedByServer() { return buffer_.empty() && Fill() == boost::asio::error::eof; }

 private:
  // Reads what comes within the timeout; the error, none when bytes came.
  boost::system::error_code Fill() {
    char chunk[16384];
    boost::system::error_code result = boost::asio::error::timed_out;
    size_t count = 0;
    socket_.async_read_some(boost::asio::buffer(chunk),
                            [&](boost::system::error_code error, size_t bytes) {
                              result = error;
                              count = bytes;
                            });
    io_.restart();
    io_.run_for(timeout_);
    if (!io_.stopped()) {
      socket_.cancel();
      io_.restart();
      io_.run();
      if (result == boost::asio::error::operation_aborted) result = boost::asio::error::timed_out;
    }
    buffer_.append(chunk, count);
    return result;
  }

  boost::asio::io_context io_;
  boost::asio::ip::tcp::socket socket_;
  std::chrono::milliseconds timeout_;
  std::string buffer_;
};

}  // namespace vorlintex::pagehost::testing
