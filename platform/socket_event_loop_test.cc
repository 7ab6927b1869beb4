#include "platform/socket_event_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/listen_socket.h"
#include "platform/stream_socket.h"

namespace vorlintex {
namespace {

// Waits up to a few seconds for an event of `key`.
std::optional<SocketEventLoop::Event> NextEvent(SocketEventLoop* loop, uint64_t key) {
  std::vector<SocketEventLoop::Event> events;
  for (int round = 0; round < 50; ++round) {
    loop->Wait(100, &events);
    for (const SocketEventLoop::Event& event : events) {
      if (event.key == key) return event;
    }
  }
  return std::nullopt;
}

TEST(SocketEventLoopTest, ReportsConnectionsBytesAndTheirEnd) {
  int port = 0;
  int listener = OpenListenSocket("127.0.0.1", 0, &port);
  ASSERT_GE(listener, 0);
  ASSERT_GT(port, 0);
  SocketEventLoop loop;
  ASSERT_TRUE(loop.ok());
  ASSERT_TRUE(loop.Watch(listener, 7, true, false));
  EXPECT_EQ(AcceptConnection(listener), kNoConnectionWaiting);

  int client = ConnectTcp("127.0.0.1", port, 5000);
  ASSERT_GE(client, 0);
  ASSERT_TRUE(NextEvent(&loop, 7));
  int server = AcceptConnection(listener);
  ASSERT_GE(server, 0);
  ASSERT_TRUE(loop.Watch(server, 8, true, false));

  ASSERT_EQ(WriteSocket(client, "hello"), 5);
  auto readable = NextEvent(&loop, 8);
  ASSERT_TRUE(readable);
  EXPECT_TRUE(readable->readable);
  char buffer[16];
  ASSERT_EQ(ReadSocket(server, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(ReadSocket(server, buffer, sizeof buffer), kSocketWouldBlock);

  // Asked for writing only, a socket with room reports that.
  ASSERT_TRUE(loop.Change(server, 9, false, true));
  auto writable = NextEvent(&loop, 9);
  ASSERT_TRUE(writable);
  EXPECT_TRUE(writable->writable);
  ASSERT_TRUE(loop.Change(server, 8, true, false));

  // The server's answer arrives; after the client closes, the server reads the end.
  ASSERT_EQ(WriteSocket(server, "answer"), 6);
  ShutdownSocketSending(server);
  ASSERT_EQ(ReadSocket(client, buffer, sizeof buffer), 6);
  EXPECT_EQ(ReadSocket(client, buffer, sizeof buffer), 0);
  CloseSocket(client);
  ASSERT_TRUE(NextEvent(&loop, 8));
  EXPECT_EQ(ReadSocket(server, buffer, sizeof buffer), 0);
  loop.Forget(server);
  CloseSocket(server);
  CloseSocket(listener);
}

TEST(SocketEventLoopTest, WakeEndsAWaitFromAnotherThread) {
  SocketEventLoop loop;
  ASSERT_TRUE(loop.ok());
  std::thread waker([&loop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loop.Wake();
  });
  std::vector<SocketEventLoop::Event> events;
  loop.Wait(-1, &events);  // would wait for ever without the wake-up
  waker.join();
  EXPECT_TRUE(events.empty());
  // A wake-up given before the wait is not lost.
  loop.Wake();
  loop.Wait(-1, &events);
  EXPECT_TRUE(events.empty());
}

TEST(ListenSocketTest, APortInUseCannotBeOpenedAgain) {
  int port = 0;
  int first = OpenListenSocket("127.0.0.1", 0, &port);
  ASSERT_GE(first, 0);
  int again = 0;
  EXPECT_EQ(OpenListenSocket("127.0.0.1", port, &again), -1);
  EXPECT_EQ(OpenListenSocket("no.such.host.invalid", 0, &again), -1);
  CloseSocket(first);
  EXPECT_GT(RaiseOpenFileLimit(), 0u);
}

}  // namespace
}  // namespace vorlintex
