// A server's listening socket: opening it, its options, and taking its connections.
#pragma once

#include <string>

namespace vorlintex {

// A non-blocking TCP socket listening on `host` (a name or an address) and `port` (0: any
// free port), with the options below and the widest listen queue; -1 when it cannot be
// opened. *bound_port receives the port it is bound to.
int OpenListenSocket(const std::string& host, int port, int* bound_port);

// Lets a restarted server bind its port while connections of the last run linger in
// TIME_WAIT, but not share the port with another server that listens on it now (no
// SO_REUSEPORT), so a port in use is reported rather than silently split.
void SetListenSocketOptions(int socket);

// Lets a bound, listening socket queue as many connections as the system allows.
void WidenListenQueue(int socket);

// Outcomes of AcceptConnection other than a socket.
inline constexpr int kNoConnectionWaiting = -1;
inline constexpr int kAcceptFailed = -2;  // e.g. out of file descriptors

// The next waiting connection, non-blocking and with Nagle's delay off (answers are written
// whole, and a keep-alive client waits for each).
int AcceptConnection(int listen_socket);

// Raises this process's limit on open file descriptors as far as it may go; the new limit.
size_t RaiseOpenFileLimit();

}  // namespace vorlintex
