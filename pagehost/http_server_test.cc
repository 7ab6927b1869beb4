#include "pagehost/http_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "pagehost/background_image.h"
#include "pagehost/http_test_client.h"
#include "pagehost/test_pages.h"

namespace vorlintex::pagehost {
namespace {

using testing::ClientResponse;
using testing::TestClient;

// The whole server on a free loopback port, in this process.
class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(HttpServerOptions()); }
  void Start(HttpServerOptions options) {
    registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::EchoPage>(); });
    options.port = 0;
    options.threads = 4;
    options.access_log = &log_;
    server_ = std::make_unique<HttpServer>(&registry_, &sessions_, options);
    ASSERT_TRUE(server_->Bind().ok());
    serving_ = std::thread([this] { served_ = server_->Serve(); });
    host_ = "127.0.0.1:" + std::to_string(server_->port());
    origin_ = "http://" + host_;
  }
  void TearDown() override { StopServer(); }
  // Stops the server and waits for every request in flight, the access log's lines included.
  void StopServer() {
    if (!serving_.joinable()) return;
    server_->Stop();
    serving_.join();
    EXPECT_TRUE(served_.ok()) << served_.ToString();
  }
  void Restart(HttpServerOptions options) {
    StopServer();
    server_.reset();
    Start(options);
  }

  std::string Get(const std::string& target, const std::string& headers = "") {
    return "GET " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\n" + headers + "\r\n";
  }
  std::string Post(const std::string& target, const std::string& body,
                   const std::string& content_type = "application/x-www-form-urlencoded",
                   const std::string& headers = "") {
    return "POST " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\nOrigin: " + origin_ +
           "\r\nContent-Type: " + content_type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" + body;
  }
  // The answer to `request` on a new connection.
  std::optional<ClientResponse> Ask(const std::string& request) {
    TestClient client(server_->port());
    return client.Request(request);
  }

  automation::ClassRegistry registry_;
  SessionStore sessions_;
  std::ostringstream log_;
  std::unique_ptr<HttpServer> server_;
  std::thread serving_;
  Status served_;
  std::string host_;
  std::string origin_;
};

TEST_F(HttpServerTest, ServesTheWizardAcrossRequestsOfOneSession) {
  TestClient client(server_->port());
  auto stored = client.Request(
      Post("/morvane.asp?PageNumber=1", "store=c%3A%5Csrc&asplist=a.asp&asplist=b.asp"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->status, 200);
  EXPECT_EQ(stored->Header("content-type"), "text/html; charset=iso-8859-1");
  EXPECT_EQ(stored->body,
            "PageNumber=[1]\nsourcedir=[]\nasplist=2:[a.asp][b.asp]\nsession=[c:\\src]\n");
  std::string cookie = stored->Header("set-cookie");
  ASSERT_NE(cookie.find("; Path=/; HttpOnly; SameSite=Strict"), std::string::npos) << cookie;

  // The same connection, kept alive.
  auto again =
      client.Request(Get("/morvane.asp", "Cookie: " + cookie.substr(0, cookie.find(';')) + "\r\n"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[c:\\src]\n");

  auto anonymous = client.Request(Get("/morvane.asp"));
  ASSERT_TRUE(anonymous);
  EXPECT_EQ(anonymous->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
}

TEST_F(HttpServerTest, AnswersTheOtherAddresses) {
  auto image = Ask(Get("/morvanebg.gif"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->status, 200);
  EXPECT_EQ(image->Header("content-type"), "image/gif");
  EXPECT_EQ(image->body, BackgroundGif());

  // A whole response, byte for byte.
  auto root = Ask(Get("/"));
  ASSERT_TRUE(root);
  EXPECT_EQ(root->head,
            "HTTP/1.1 302 Found\r\n"
            "Location: /morvane.asp\r\n"
            "Content-Type: text/html; charset=iso-8859-1\r\n"
            "Content-Length: 0\r\n"
            "\r\n");

  auto missing = Ask(Get("/nothing/here"));
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  EXPECT_NE(missing->body.find("404 Not Found"), std::string::npos);

  // A path cannot forge a line of the log.
  auto forged = Ask(Get("/x%0AGET%20/morvane.asp%20200"));
  ASSERT_TRUE(forged);
  EXPECT_EQ(forged->status, 404);

  StopServer();
  std::string log = log_.str();
  EXPECT_NE(log.find("GET /x\\x0aGET /morvane.asp 200 404 "), std::string::npos) << log;
  EXPECT_EQ(log.find("\nGET /morvane.asp 200"), std::string::npos) << log;
  EXPECT_NE(log.find("GET /morvanebg.gif 200 " + std::to_string(BackgroundGif().size()) + " "),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("GET /nothing/here 404 "), std::string::npos) << log;
}

TEST_F(HttpServerTest, RefusesWhatItMustNotServe) {
  auto rebound = Ask("GET /morvane.asp HTTP/1.1\r\nHost: attacker.example\r\n\r\n");
  ASSERT_TRUE(rebound);
  EXPECT_EQ(rebound->status, 403);

  auto cross = Ask("POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
                   "\r\nOrigin: http://attacker.example\r\nContent-Length: 12\r\n\r\nPageNumber=1");
  ASSERT_TRUE(cross);
  EXPECT_EQ(cross->status, 403);

  auto text = Ask(Post("/morvane.asp", "PageNumber=1", "text/plain"));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->status, 415);

  auto bad = Ask(Post("/morvane.asp", "sourcedir=%G1"));
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->status, 400);
  EXPECT_NE(bad->body.find("malformed percent-encoding"), std::string::npos) << bad->body;

  std::string many;
  for (int i = 0; i < 100; ++i) many += "asplist=" + std::string(1000, 'b') + "&";
  auto long_form = Ask(Post("/morvane.asp", many));
  ASSERT_TRUE(long_form);
  EXPECT_EQ(long_form->status, 200);
}

// Answers that clients do not take are held up to a bound; past it, the client that has taken
// nothing for longest is dropped, not the one being answered, and not long after.
TEST_F(HttpServerTest, AnswersNobodyReadsAreBoundedDroppingTheSlowestFirst) {
  HttpServerOptions options;
  options.max_unsent = 256 * 1024;
  Restart(options);
  std::string fields;
  for (int i = 0; i < 125; ++i) fields += "asplist=" + std::string(4000, 'b') + "&";
  const std::string post = Post("/morvane.asp", fields);

  // Sends answers' worth until the system's buffers are full and the server holds the rest.
  TestClient stalled(server_->port());
  const int requests = 40;
  std::atomic<bool> sent = false;
  std::thread sender([&] {
    for (int i = 0; i < requests && stalled.Send(post); ++i) {
    }
    sent = true;
  });
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ASSERT_FALSE(sent) << "the buffers took every answer";

  TestClient reader(server_->port());
  auto answer = reader.Request(post);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  // Long before the 30 s a stalled write is given.
  for (int waited = 0; !sent && waited < 50; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(sent) << "the stalled client was not dropped";
  int answered = 0;
  while (stalled.Read()) ++answered;
  sender.join();
  EXPECT_LT(answered, requests);
}

// A client that waits for leave to send its body is told at once: to go on, or the final status
// of a request refused on its head.
TEST_F(HttpServerTest, ExpectContinueIsAnsweredBeforeTheBody) {
  const std::string body = "PageNumber=1&sourcedir=" + std::string(2000, 'a');
  const std::string post =
      Post("/morvane.asp", body, "application/x-www-form-urlencoded", "Expect: 100-continue\r\n");
  const std::string head = post.substr(0, post.size() - body.size());
  TestClient client(server_->port(), std::chrono::seconds(2));
  ASSERT_TRUE(client.Send(head));
  auto go_on = client.Read(true);
  ASSERT_TRUE(go_on) << "no answer before the body";
  EXPECT_EQ(go_on->status, 100);
  ASSERT_TRUE(client.Send(body));
  auto page = client.Read();
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);

  struct Case {
    const char* name;
    std::string head;
    int status;
  };
  const Case refused[] = {
      {"body over the limit",
       "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\nOrigin: " + origin_ +
           "\r\nExpect: 100-continue\r\nContent-Length: 2000000\r\n\r\n",
       413},
      {"from another site",
       "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
           "\r\nOrigin: http://attacker.example\r\nExpect: 100-continue\r\n"
           "Content-Length: 100\r\n\r\n",
       403},
  };
  for (const Case& c : refused) {
    TestClient refused_client(server_->port(), std::chrono::seconds(2));
    ASSERT_TRUE(refused_client.Send(c.head)) << c.name;
    auto answer = refused_client.Read();
    ASSERT_TRUE(answer) << c.name;
    EXPECT_EQ(answer->status, c.status) << c.name;
  }
}

// Every head the server will not serve gets its status, an error page, and the end of the
// connection; a body announced is never read.
TEST_F(HttpServerTest, RefusedHeadsGetTheirStatusAndTheConnectionCloses) {
  std::string lines_101;
  for (int i = 0; i < 101; ++i) lines_101 += "X-Line-" + std::to_string(i) + ": v\r\n";
  const std::string form_head = "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
                                "\r\nOrigin: " + origin_ +
                                "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  struct Case {
    const char* name;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"body over the limit", form_head + "Content-Length: 2000000\r\n\r\n", 413},
      {"body from another site",
       "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
           "\r\nOrigin: http://attacker.example\r\nContent-Length: 100\r\n\r\n",
       403},
      {"101 header lines", Get("/morvane.asp", lines_101), 431},
      {"head over 64 KiB", Get("/morvane.asp", "X-Long: " + std::string(70000, 'v') + "\r\n"), 431},
      {"control byte in a value",
       Get("/morvane.asp",
           "Cookie: a\x01"
           "b\r\n"),
       400},
      {"negative length", Get("/morvane.asp", "Content-Length: -5\r\n"), 400},
      {"two Host headers", Get("/morvane.asp", "Host: " + host_ + "\r\n"), 400},
      {"two Origin headers", Get("/", "Origin: " + origin_ + "\r\norigin: " + origin_ + "\r\n"),
       400},
      {"request line over 8 KiB", Get("/" + std::string(9000, 'a')), 414},
      {"request line over the head limit", Get("/" + std::string(100000, 'a')), 414},
      {"no request line", std::string(9000, 'G'), 400},
      {"one word", "GARBAGE\r\n\r\n", 400},
      {"target not a path", "GET morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n", 400},
      {"HTTP/2.0", "GET /morvane.asp HTTP/2.0\r\nHost: " + host_ + "\r\n\r\n", 505},
      {"no HTTP version", "GET /morvane.asp HTTX/1.1\r\nHost: " + host_ + "\r\n\r\n", 400},
      {"chunked", form_head + "Transfer-Encoding: chunked\r\n\r\n", 411},
      {"chunked with a length",
       form_head + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {"another transfer coding", form_head + "Transfer-Encoding: gzip\r\n\r\n", 501},
  };
  for (const Case& c : cases) {
    TestClient client(server_->port());
    auto answer = client.Request(c.request);
    ASSERT_TRUE(answer) << c.name;
    EXPECT_EQ(answer->status, c.status) << c.name;
    EXPECT_EQ(answer->Header("connection"), "close") << c.name;
    EXPECT_EQ(answer->Header("content-type"), "text/html; charset=iso-8859-1") << c.name;
    EXPECT_TRUE(client.ClosedByServer()) << c.name;
  }
  StopServer();
  EXPECT_NE(log_.str().find("GET /morvane.asp 431 "), std::string::npos) << log_.str();
}

// The client is still sending a body over the limit when the server answers and closes: it
// gets the answer.
TEST_F(HttpServerTest, AnAnswerBeforeTheBodyReachesAClientStillSending) {
  TestClient client(server_->port());
  const std::string body(3 << 20, 'x');
  std::thread sender([&] {
    client.Send("POST /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\nOrigin: " + origin_ +
                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  });
  auto answer = client.Read();
  sender.join();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 413);
  EXPECT_EQ(answer->Header("connection"), "close");
}

TEST_F(HttpServerTest, AnswersPipelinedRequestsInOrderAndHeadWithoutBody) {
  TestClient client(server_->port());
  ASSERT_TRUE(client.Send(Get("/nothing") + "HEAD /morvanebg.gif HTTP/1.1\r\nHost: " + host_ +
                          "\r\n\r\n" + Get("/")));
  auto first = client.Read();
  auto second = client.Read(/*to_head=*/true);
  auto third = client.Read();
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(first->status, 404);
  EXPECT_EQ(second->status, 200);
  EXPECT_EQ(second->Header("content-length"), std::to_string(BackgroundGif().size()));
  EXPECT_EQ(third->status, 302);
}

TEST_F(HttpServerTest, KeepsHttp10ConnectionsOnlyWhenAsked) {
  TestClient kept(server_->port());
  auto first =
      kept.Request("GET / HTTP/1.0\r\nHost: " + host_ + "\r\nConnection: keep-alive\r\n\r\n");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Header("connection"), "keep-alive");
  auto second = kept.Request("GET / HTTP/1.0\r\nHost: " + host_ + "\r\n\r\n");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Header("connection"), "close");
  EXPECT_TRUE(kept.ClosedByServer());
}

TEST_F(HttpServerTest, AComponentErrorGives500AndServingGoesOn) {
  registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::FailingPage>(); });
  auto failed = Ask(Get("/morvane.asp?fail=1"));
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->status, 500);
  EXPECT_NE(failed->body.find("C:\\a&lt;b&gt;&amp;c: Permission &quot;denied&quot;"),
            std::string::npos)
      << failed->body;
  auto next = Ask(Get("/morvane.asp"));
  ASSERT_TRUE(next);
  EXPECT_EQ(next->status, 200);
  EXPECT_EQ(next->body, "partial page\ndone\n");
}

TEST_F(HttpServerTest, ATricklingHeadGets408WhileOthersAreServed) {
  HttpServerOptions options;
  options.timeouts.head = std::chrono::milliseconds(500);
  options.timeouts.idle = std::chrono::milliseconds(300);
  Restart(options);
  TestClient slow(server_->port());
  ASSERT_TRUE(slow.Send("GET /morvane.asp HTTP/1.1\r\nHo"));
  auto other = Ask(Get("/"));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 302);
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    slow.Send("s");  // a byte now and then does not extend the time for the head
  }
  auto timed_out = slow.Read();
  ASSERT_TRUE(timed_out);
  EXPECT_EQ(timed_out->status, 408);
  EXPECT_TRUE(slow.ClosedByServer());
}

TEST_F(HttpServerTest, EveryOtherWaitHasItsDeadline) {
  HttpServerOptions options;
  options.timeouts.idle = std::chrono::milliseconds(300);
  options.timeouts.body_floor = std::chrono::milliseconds(300);
  options.timeouts.write_stall = std::chrono::milliseconds(300);
  Restart(options);

  // An idle connection is closed without an answer.
  TestClient idle(server_->port());
  EXPECT_TRUE(idle.ClosedByServer());

  // A body that stops coming.
  TestClient body(server_->port());
  auto unfinished = body.Request(Post("/morvane.asp", std::string(1000, 'x')).substr(0, 400));
  ASSERT_TRUE(unfinished);
  EXPECT_EQ(unfinished->status, 408);
  EXPECT_TRUE(body.ClosedByServer());

  // A client that sends requests and reads none of the answers: once the answers fill the
  // system's buffers the server gives up on it, well before all are sent.
  TestClient reader(server_->port());
  const int requests = 40;
  std::string fields;
  for (int i = 0; i < 125; ++i) fields += "asplist=" + std::string(4000, 'b') + "&";
  const std::string post = Post("/morvane.asp", fields);
  std::atomic<bool> sent = false;
  std::thread sender([&] {
    for (int i = 0; i < requests && reader.Send(post); ++i) {
    }
    sent = true;
  });
  // The sender is held up once the server stops reading to write answers nobody reads, until
  // the server gives up on the connection.
  for (int waited = 0; !sent && waited < 200; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  int answered = 0;
  while (reader.Read()) ++answered;
  sender.join();
  EXPECT_LT(answered, requests);
}

TEST_F(HttpServerTest, TheLongestIdleConnectionMakesRoomForANewOne) {
  HttpServerOptions options;
  options.max_connections = 2;
  Restart(options);
  TestClient oldest(server_->port());
  ASSERT_TRUE(oldest.Request(Get("/")));
  TestClient busy(server_->port());
  ASSERT_TRUE(busy.Send("GET / HTTP/1.1\r\n"));  // a head in progress is not idle
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  TestClient newest(server_->port());
  auto answer = newest.Request(Get("/"));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 302);
  EXPECT_TRUE(oldest.ClosedByServer());
  auto finished = busy.Request("Host: " + host_ + "\r\n\r\n");
  ASSERT_TRUE(finished);
  EXPECT_EQ(finished->status, 302);
}

TEST(HttpServerStopTest, StopBeforeServeEndsServeAtOnce) {
  automation::ClassRegistry registry;
  SessionStore sessions;
  HttpServerOptions options;
  options.port = 0;
  HttpServer server(&registry, &sessions, options);
  ASSERT_TRUE(server.Bind().ok());
  server.Stop();
  EXPECT_TRUE(server.Serve().ok());
}

TEST_F(HttpServerTest, APortInUseIsReported) {
  HttpServerOptions options;
  options.port = server_->port();
  HttpServer second(&registry_, &sessions_, options);
  Status bound = second.Bind();
  EXPECT_EQ(bound.ToString(), "127.0.0.1:" + std::to_string(server_->port()) +
                                  ": cannot listen there (the port is in use, or the address "
                                  "is not one of this machine's)");
}

TEST(ParseListenAddressTest, SplitsHostAndPort) {
  struct Case {
    const char* text;
    bool ok;
    const char* host;
    int port;
  };
  const Case cases[] = {
      {"127.0.0.1:8080", true, "127.0.0.1", 8080},
      {"localhost:0", true, "localhost", 0},
      {"[::1]:9000", true, "::1", 9000},
      {"0.0.0.0:65535", true, "0.0.0.0", 65535},
      {"127.0.0.1", false, "", 0},
      {":8080", false, "", 0},
      {"::1:8080", false, "", 0},
      {"host:65536", false, "", 0},
      {"host:80x", false, "", 0},
      {"[]:80", false, "", 0},
  };
  for (const Case& c : cases) {
    std::string host;
    int port = -1;
    EXPECT_EQ(ParseListenAddress(c.text, &host, &port), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(host, c.host) << c.text;
      EXPECT_EQ(port, c.port) << c.text;
    }
  }
}

}  // namespace
}  // namespace vorlintex::pagehost
