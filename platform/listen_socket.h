// Options of a server's listening socket.
#pragma once

namespace vorlintex {

// Lets a restarted server bind its port while connections of the last run linger in
// TIME_WAIT, but not share the port with another server that listens on it now (no
// SO_REUSEPORT), so a port in use is reported rather than silently split.
void SetListenSocketOptions(int socket);

// Lets a bound, listening socket queue as many connections as the system allows.
void WidenListenQueue(int socket);

}  // namespace vorlintex
