#include "platform/stream_socket.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlintex {

long ReadSocket(int socket, char* buffer, size_t size) {
  while (true) {
    ssize_t count = recv(socket, buffer, size, 0);
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? kSocketWouldBlock : kSocketBroken;
  }
}

long WriteSocket(int socket, std::string_view bytes) {
  while (true) {
    ssize_t count = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? kSocketWouldBlock : kSocketBroken;
  }
}

void CloseSocket(int socket) {
  if (socket >= 0) close(socket);
}

void ShutdownSocketSending(int socket) { shutdown(socket, SHUT_WR); }

int ConnectTcp(const std::string& host, int port, int timeout_ms) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  int connected = -1;
  for (addrinfo* address = found; address != nullptr && connected < 0; address = address->ai_next) {
    int socket =
        ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
    if (socket < 0) continue;
    timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (connect(socket, address->ai_addr, address->ai_addrlen) == 0) {
      connected = socket;
    } else {
      close(socket);
    }
  }
  freeaddrinfo(found);
  return connected;
}

}  // namespace vorlintex
