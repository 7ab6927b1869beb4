// A blocking HTTP/1.1 client for the server's tests: sends raw bytes, reads whole responses
// (Content-Length framed), and tells when the server has closed the connection.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "contract/ascii.h"
#include "platform/stream_socket.h"

namespace vorlintex::pagehost::testing {

struct ClientResponse {
  int status = 0;
  std::string head;                            // status line and headers, as sent
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;

  std::string Header(const std::string& lower_name) const {
    auto found = headers.find(lower_name);
    return found == headers.end() ? std::string() : found->second;
  }
};

class TestClient {
 public:
  explicit TestClient(int port, int timeout_ms = 10'000)
      : socket_(ConnectTcp("127.0.0.1", port, timeout_ms)) {}
  ~TestClient() { CloseSocket(socket_); }
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool connected() const { return socket_ >= 0; }

  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      long count = WriteSocket(socket_, bytes);
      if (count <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(count));
    }
    return true;
  }

  // The next response; none when the connection ends or times out before it is whole. A
  // response to HEAD has no body whatever its Content-Length says.
  std::optional<ClientResponse> Read(bool to_head = false) {
    size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
      if (!Fill()) return std::nullopt;
    }
    ClientResponse response;
    response.head = buffer_.substr(0, end + 4);
    buffer_.erase(0, end + 4);
    if (response.head.size() < 12) return std::nullopt;
    response.status = std::stoi(response.head.substr(9, 3));
    size_t line = response.head.find("\r\n") + 2;
    while (line < response.head.size() - 2) {
      size_t next = response.head.find("\r\n", line);
      std::string text = response.head.substr(line, next - line);
      size_t colon = text.find(':');
      std::string name = text.substr(0, colon);
      AsciiLowerInPlace(&name);
      response.headers[name] = text.substr(colon + 2);
      line = next + 2;
    }
    size_t length = to_head ? 0 : std::stoul("0" + response.Header("content-length"));
    while (buffer_.size() < length) {
      if (!Fill()) return std::nullopt;
    }
    response.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    return response;
  }

  std::optional<ClientResponse> Request(std::string_view bytes) {
    if (!Send(bytes)) return std::nullopt;
    return Read();
  }

  // True when the server closes the connection with nothing more sent (false: more bytes came,
  // or the wait timed out).
  bool ClosedByServer() {
    if (!buffer_.empty()) return false;
    char byte;
    return ReadSocket(socket_, &byte, 1) == 0;
  }

 private:
  bool Fill() {
    char chunk[16384];
    long count = ReadSocket(socket_, chunk, sizeof chunk);
    if (count <= 0) return false;
    buffer_.append(chunk, static_cast<size_t>(count));
    return true;
  }

  int socket_;
  std::string buffer_;
};

}  // namespace vorlintex::pagehost::testing
