#include "platform/socket_event_loop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vorlintex {
namespace {

constexpr uint64_t kWakeKey = UINT64_MAX;
constexpr int kMaxEvents = 256;

uint32_t Interest(bool read, bool write) {
  return (read ? EPOLLIN | EPOLLRDHUP : 0u) | (write ? EPOLLOUT : 0u);
}

}  // namespace

SocketEventLoop::SocketEventLoop() {
  queue_ = epoll_create1(EPOLL_CLOEXEC);
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (queue_ >= 0 && wake_ >= 0) Watch(wake_, kWakeKey, true, false);
}

SocketEventLoop::~SocketEventLoop() {
  if (wake_ >= 0) close(wake_);
  if (queue_ >= 0) close(queue_);
}

bool SocketEventLoop::Watch(int socket, uint64_t key, bool read, bool write) {
  epoll_event event{};
  event.events = Interest(read, write);
  event.data.u64 = key;
  return epoll_ctl(queue_, EPOLL_CTL_ADD, socket, &event) == 0;
}

bool SocketEventLoop::Change(int socket, uint64_t key, bool read, bool write) {
  epoll_event event{};
  event.events = Interest(read, write);
  event.data.u64 = key;
  return epoll_ctl(queue_, EPOLL_CTL_MOD, socket, &event) == 0;
}

void SocketEventLoop::Forget(int socket) { epoll_ctl(queue_, EPOLL_CTL_DEL, socket, nullptr); }

void SocketEventLoop::Wait(int timeout_ms, std::vector<Event>* events) {
  events->clear();
  epoll_event ready[kMaxEvents];
  int count = epoll_wait(queue_, ready, kMaxEvents, timeout_ms);
  for (int i = 0; i < count; ++i) {
    if (ready[i].data.u64 == kWakeKey) {
      uint64_t wakes;
      while (read(wake_, &wakes, sizeof wakes) > 0) {
      }
      continue;
    }
    uint32_t what = ready[i].events;
    events->push_back(Event{ready[i].data.u64, (what & (EPOLLIN | EPOLLRDHUP)) != 0,
                            (what & EPOLLOUT) != 0, (what & (EPOLLERR | EPOLLHUP)) != 0});
  }
}

void SocketEventLoop::Wake() {
  uint64_t one = 1;
  while (write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

}  // namespace vorlintex
