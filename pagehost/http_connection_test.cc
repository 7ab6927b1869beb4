#include "pagehost/http_connection.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex::pagehost {
namespace {

using State = HttpConnection::State;
using std::chrono::milliseconds;
using std::chrono::seconds;

const SteadyTime kStart = SteadyTime() + seconds(1000);

HostResponse Page(std::string body) {
  HostResponse response;
  response.content_type = "text/plain";
  response.body = std::move(body);
  return response;
}

// Sends all of the connection's output and returns it.
std::string Drain(HttpConnection* connection, SteadyTime now) {
  std::string out(connection->Output());
  connection->Sent(out.size(), now);
  return out;
}

TEST(HttpConnectionTest, ServesPipelinedRequestsOneAtATimeInOrder) {
  HttpConnection connection(HttpLimits(), HttpTimeouts(), kStart);
  connection.Received(
      "POST /a HTTP/1.1\r\nContent-Length: 3\r\n\r\nxyzGET /b HTTP/1.1\r\n\r\nGET /c", kStart);
  ASSERT_EQ(connection.state(), State::kHeadReady);
  EXPECT_EQ(connection.head().path, "/a");
  connection.ReadBody(kStart);
  ASSERT_EQ(connection.state(), State::kRequestReady);
  HttpRequest first = connection.TakeRequest();
  EXPECT_EQ(first.body, "xyz");
  EXPECT_FALSE(connection.WantsRead());  // nothing more is read while a request is answered
  connection.Respond(Page("A"), kStart);
  EXPECT_EQ(Drain(&connection, kStart),
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1\r\n\r\nA");
  ASSERT_EQ(connection.state(), State::kHeadReady);
  EXPECT_EQ(connection.head().path, "/b");
  connection.ReadBody(kStart);
  EXPECT_EQ(connection.TakeRequest().body, "");
  connection.Respond(Page("B"), kStart);
  Drain(&connection, kStart);
  EXPECT_EQ(connection.state(), State::kReading);
  connection.Received(" HTTP/1.1\r\n\r\n", kStart);
  ASSERT_EQ(connection.state(), State::kHeadReady);
  EXPECT_EQ(connection.head().path, "/c");
}

TEST(HttpConnectionTest, WritesPartlyAndClosesWhenTheRequestSaysSo) {
  HttpConnection connection(HttpLimits(), HttpTimeouts(), kStart);
  connection.Received("HEAD / HTTP/1.1\r\nConnection: close\r\n\r\n", kStart);
  connection.ReadBody(kStart);
  connection.TakeRequest();
  connection.Respond(Page("body"), kStart);
  const std::string expected =
      "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 4\r\n"
      "Connection: close\r\n\r\n";
  EXPECT_EQ(connection.Output(), expected);
  connection.Sent(10, kStart);
  EXPECT_EQ(connection.Output(), expected.substr(10));
  EXPECT_EQ(connection.state(), State::kWriting);
  connection.Sent(expected.size() - 10, kStart);
  EXPECT_EQ(connection.state(), State::kClosed);
}

TEST(HttpConnectionTest, ARefusalLeavesTheBodyUnreadAndCloses) {
  HttpConnection refused(HttpLimits(), HttpTimeouts(), kStart);
  refused.Received("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\n", kStart);
  refused.Respond(Page("no"), kStart);
  EXPECT_NE(Drain(&refused, kStart).find("Connection: close\r\n"), std::string::npos);
  EXPECT_EQ(refused.state(), State::kClosed);

  // Without a body the connection goes on.
  HttpConnection kept(HttpLimits(), HttpTimeouts(), kStart);
  kept.Received("GET / HTTP/1.1\r\n\r\nGET /next HTTP/1.1\r\n\r\n", kStart);
  kept.Respond(Page("no"), kStart);
  EXPECT_EQ(Drain(&kept, kStart).find("Connection:"), std::string::npos);
  ASSERT_EQ(kept.state(), State::kHeadReady);
  EXPECT_EQ(kept.head().path, "/next");
}

TEST(HttpConnectionTest, ABadHeadFailsWithItsStatus) {
  HttpConnection connection(HttpLimits(), HttpTimeouts(), kStart);
  connection.Received("GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n", kStart);
  ASSERT_EQ(connection.state(), State::kFailed);
  EXPECT_EQ(connection.error().status, 400);
  connection.Respond(Page("bad"), kStart);
  EXPECT_NE(Drain(&connection, kStart).find("Connection: close\r\n"), std::string::npos);
  EXPECT_EQ(connection.state(), State::kClosed);
}

TEST(HttpConnectionTest, EveryWaitHasItsDeadline) {
  HttpTimeouts timeouts;  // head 10 s, idle 5 s, body 30 s or 32 KiB/s, write 30 s
  struct Case {
    const char* name;
    std::string received;  // at kStart + 1 s
    bool respond;          // answered (and not read by the client)
    SteadyTime deadline;
    State expired;
    int status;  // of a failure when expired
  };
  const SteadyTime later = kStart + seconds(1);
  const Case cases[] = {
      {"idle", "", false, kStart + seconds(5), State::kClosed, 0},
      {"empty lines are not a request", "\r\n", false, kStart + seconds(5), State::kClosed, 0},
      {"head begun", "GET / HT", false, later + seconds(10), State::kFailed, 408},
      {"small body", "POST / HTTP/1.1\r\nContent-Length: 10\r\n\r\n", false, later + seconds(30),
       State::kFailed, 408},
      {"large body", "POST / HTTP/1.1\r\nContent-Length: 1048576\r\n\r\n", false,
       later + seconds(32), State::kFailed, 408},
      {"answer not read", "GET / HTTP/1.1\r\n\r\n", true, later + seconds(30), State::kClosed, 0},
  };
  for (const Case& c : cases) {
    HttpConnection connection(HttpLimits(), timeouts, kStart);
    if (!c.received.empty()) connection.Received(c.received, later);
    if (connection.state() == State::kHeadReady) connection.ReadBody(later);
    if (c.respond) {
      connection.TakeRequest();
      connection.Respond(Page("x"), later);
    }
    EXPECT_EQ(connection.Deadline(), c.deadline) << c.name;
    connection.Expire(c.deadline - milliseconds(1));
    EXPECT_NE(connection.state(), c.expired) << c.name;
    connection.Expire(c.deadline);
    EXPECT_EQ(connection.state(), c.expired) << c.name;
    if (c.status != 0) {
      EXPECT_EQ(connection.error().status, c.status) << c.name;
    }
  }
}

// Bytes arriving one at a time do not move the head's deadline: it runs from the first byte.
TEST(HttpConnectionTest, TricklingDoesNotExtendTheHeadDeadline) {
  HttpConnection connection(HttpLimits(), HttpTimeouts(), kStart);
  const std::string head = "GET / HTTP/1.1\r\nX-Slow: " + std::string(100, 's');
  for (size_t i = 0; i < head.size(); ++i) {
    connection.Received(head.substr(i, 1), kStart + seconds(i));
    if (connection.state() != State::kReading) break;
    connection.Expire(kStart + seconds(i));
  }
  ASSERT_EQ(connection.state(), State::kFailed);
  EXPECT_EQ(connection.error().status, 408);
}

TEST(HttpConnectionTest, BuffersAreGivenBackAfterEachRequest) {
  HttpConnection connection(HttpLimits(), HttpTimeouts(), kStart);
  const std::string body(900 * 1024, 'b');
  connection.Received("POST / HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nX: " + std::string(60000, 'h') + "\r\n\r\n" + body,
                      kStart);
  connection.ReadBody(kStart);
  HttpRequest request = connection.TakeRequest();
  EXPECT_EQ(request.body.size(), body.size());
  connection.Respond(Page(std::string(500 * 1024, 'r')), kStart);
  Drain(&connection, kStart);
  EXPECT_EQ(connection.state(), State::kReading);
  EXPECT_TRUE(connection.Idle());
  EXPECT_LE(connection.BufferedCapacity(), 2 * 16 * 1024u);
}

}  // namespace
}  // namespace vorlintex::pagehost
