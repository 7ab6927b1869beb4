#include "platform/listen_socket.h"

#include <sys/socket.h>

namespace vorlintex {

void SetListenSocketOptions(int socket) {
  int yes = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void WidenListenQueue(int socket) {
  if (socket >= 0) listen(socket, SOMAXCONN);
}

}  // namespace vorlintex
