// Reading, writing and closing a connected TCP socket, and connecting one (for clients in
// tests and tools).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlintex {

// Outcomes of ReadSocket and WriteSocket other than a count of bytes.
inline constexpr long kSocketWouldBlock = -1;
inline constexpr long kSocketBroken = -2;

// Bytes read into `buffer` (0: the peer closed its side).
long ReadSocket(int socket, char* buffer, size_t size);
// Bytes written, never raising SIGPIPE on a closed peer.
long WriteSocket(int socket, std::string_view bytes);
void CloseSocket(int socket);
// Ends the sending side (the peer reads to the end of what was sent) but keeps reading.
void ShutdownSocketSending(int socket);

// A blocking connection to host:port, reads and writes given up after `timeout_ms`; -1 when it
// cannot be made.
int ConnectTcp(const std::string& host, int port, int timeout_ms);

}  // namespace vorlintex
