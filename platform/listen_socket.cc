#include "platform/listen_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlintex {

int OpenListenSocket(const std::string& host, int port, int* bound_port) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return -1;
  int listening = -1;
  for (addrinfo* address = found; address != nullptr && listening < 0; address = address->ai_next) {
    int socket = ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                          address->ai_protocol);
    if (socket < 0) continue;
    SetListenSocketOptions(socket);
    if (bind(socket, address->ai_addr, address->ai_addrlen) == 0 &&
        listen(socket, SOMAXCONN) == 0) {
      listening = socket;
    } else {
      close(socket);
    }
  }
  freeaddrinfo(found);
  if (listening < 0) return -1;
  sockaddr_storage bound;
  socklen_t length = sizeof bound;
  if (getsockname(listening, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
    close(listening);
    return -1;
  }
  *bound_port = bound.ss_family == AF_INET6
                    ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                    : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  return listening;
}

void SetListenSocketOptions(int socket) {
  int yes = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void WidenListenQueue(int socket) {
  if (socket >= 0) listen(socket, SOMAXCONN);
}

int AcceptConnection(int listen_socket) {
  int socket = accept4(listen_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (socket < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED) {
      return kNoConnectionWaiting;
    }
    return kAcceptFailed;
  }
  int yes = 1;
  setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  return socket;
}

size_t RaiseOpenFileLimit() {
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  return limit.rlim_cur == RLIM_INFINITY ? static_cast<size_t>(1) << 20
                                         : static_cast<size_t>(limit.rlim_cur);
}

}  // namespace vorlintex
