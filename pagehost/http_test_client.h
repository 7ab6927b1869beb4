// A blocking HTTP/1.1 client for the server's tests: sends raw bytes, reads whole responses
// (Content-Length framed), and tells when the server has closed the connection. Every wait is
// given up after a timeout, so a server that hangs fails the test rather than blocking it.
#pragma once

#include <sys/socket.h>
#include <sys/time.h>

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
      : socket_(io_) {
    boost::system::error_code error;
    socket_.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)},
                    error);
    timeval wait{timeout.count() / 1000, static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
    setsockopt(socket_.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  }

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
      if (Fill() <= 0) return std::nullopt;
    }
    ClientResponse response;
    response.head = buffer_.substr(0, end + 4);
    buffer_.erase(0, end + 4);
    if (response.head.size() < 12) return std::nullopt;
    response.status = std::stoi(response.head.substr(9, 3));
    size_t length = to_head ? 0 : std::stoul("0" + response.Header("content-length"));
    while (buffer_.size() < length) {
      if (Fill() <= 0) return std::nullopt;
    }
    response.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    return response;
  }

  // The response to `bytes`; status 0 when none came.
  ClientResponse Request(std::string_view bytes) {
    return Send(bytes) ? Read().value_or(ClientResponse()) : ClientResponse();
  }

  // True when the server closes the connection with nothing more sent (false: more bytes came,
  // or the wait timed out).
  bool ClosedByServer() { return buffer_.empty() && Fill() == 0; }

 private:
  // Reads what comes within the timeout: the count of bytes, 0 at the end, -1 on a timeout.
  ssize_t Fill() {
    char chunk[16384];
    ssize_t count = recv(socket_.native_handle(), chunk, sizeof chunk, 0);
    if (count > 0) buffer_.append(chunk, count);
    return count;
  }

  boost::asio::io_context io_;
  boost::asio::ip::tcp::socket socket_;
  std::string buffer_;
};

}  // namespace vorlintex::pagehost::testing
