// Waiting on many sockets at once (level-triggered readiness), with a wake-up that any thread
// may give to the waiting one.
#pragma once

#include <cstdint>
#include <vector>

namespace vorlintex {

class SocketEventLoop {
 public:
  struct Event {
    uint64_t key;  // as given to Watch
    bool readable;
    bool writable;
    bool broken;  // error or hang-up: reading tells which
  };

  SocketEventLoop();
  ~SocketEventLoop();
  SocketEventLoop(const SocketEventLoop&) = delete;
  SocketEventLoop& operator=(const SocketEventLoop&) = delete;

  // False when the system gave no event queue.
  bool ok() const { return queue_ >= 0 && wake_ >= 0; }

  // Reports the socket's readiness under `key`, for reading and/or writing as asked.
  bool Watch(int socket, uint64_t key, bool read, bool write);
  bool Change(int socket, uint64_t key, bool read, bool write);
  // Before the socket is closed.
  void Forget(int socket);

  // Waits up to `timeout_ms` (or until Wake) and fills `events` with what is ready.
  void Wait(int timeout_ms, std::vector<Event>* events);
  // Ends a Wait in progress or the next one; safe from any thread.
  void Wake();

 private:
  int queue_ = -1;
  int wake_ = -1;
};

}  // namespace vorlintex
