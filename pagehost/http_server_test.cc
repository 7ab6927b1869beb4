#include "pagehost/http_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sstream>
#include <thread>

#include "pagehost/background_image.h"
#include "pagehost/test_pages.h"

namespace vorlintex::pagehost {
namespace {

// The whole server on a free loopback port, in this process.
class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::EchoPage>(); });
    HttpServerOptions options;
    options.port = 0;
    options.threads = 4;
    options.access_log = &log_;
    server_ = std::make_unique<HttpServer>(&registry_, &sessions_, options);
    ASSERT_TRUE(server_->Bind().ok());
    serving_ = std::thread([this] { served_ = server_->Serve(); });
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
    origin_ = "http://127.0.0.1:" + std::to_string(server_->port());
  }
  void TearDown() override { StopServer(); }
  // Stops the server and waits for every request in flight, the access log's lines included.
  void StopServer() {
    if (!serving_.joinable()) return;
    server_->Stop();
    serving_.join();
    EXPECT_TRUE(served_.ok()) << served_.ToString();
  }

  automation::ClassRegistry registry_;
  SessionStore sessions_;
  std::ostringstream log_;
  std::unique_ptr<HttpServer> server_;
  std::thread serving_;
  Status served_;
  std::unique_ptr<httplib::Client> client_;
  std::string origin_;
};

TEST_F(HttpServerTest, ServesTheWizardAcrossRequestsOfOneSession) {
  httplib::Headers headers = {{"Origin", origin_}};
  auto stored = client_->Post("/morvane.asp?PageNumber=1", headers,
                              "store=c%3A%5Csrc&asplist=a.asp&asplist=b.asp",
                              "application/x-www-form-urlencoded");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->status, 200);
  EXPECT_EQ(stored->get_header_value("Content-Type"), "text/html; charset=iso-8859-1");
  EXPECT_EQ(stored->body,
            "PageNumber=[1]\nsourcedir=[]\nasplist=2:[a.asp][b.asp]\nsession=[c:\\src]\n");
  std::string cookie = stored->get_header_value("Set-Cookie");
  ASSERT_NE(cookie.find("; Path=/; HttpOnly; SameSite=Strict"), std::string::npos) << cookie;

  auto again = client_->Get("/morvane.asp", {{"Cookie", cookie.substr(0, cookie.find(';'))}});
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[c:\\src]\n");

  auto anonymous = client_->Get("/morvane.asp");
  ASSERT_TRUE(anonymous);
  EXPECT_EQ(anonymous->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
}

TEST_F(HttpServerTest, AnswersTheOtherAddresses) {
  auto image = client_->Get("/morvanebg.gif");
  ASSERT_TRUE(image);
  EXPECT_EQ(image->status, 200);
  EXPECT_EQ(image->get_header_value("Content-Type"), "image/gif");
  EXPECT_EQ(image->body, BackgroundGif());

  auto root = client_->Get("/");
  ASSERT_TRUE(root);
  EXPECT_EQ(root->status, 302);
  EXPECT_EQ(root->get_header_value("Location"), "/morvane.asp");

  auto missing = client_->Get("/nothing/here");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  EXPECT_NE(missing->body.find("404 Not Found"), std::string::npos);

  // A path cannot forge a line of the log.
  auto forged = client_->Get("/x%0AGET%20/morvane.asp%20200");
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
  auto rebound = client_->Get("/morvane.asp", {{"Host", "attacker.example"}});
  ASSERT_TRUE(rebound);
  EXPECT_EQ(rebound->status, 403);

  auto cross = client_->Post("/morvane.asp", {{"Origin", "http://attacker.example"}},
                             "PageNumber=1", "application/x-www-form-urlencoded");
  ASSERT_TRUE(cross);
  EXPECT_EQ(cross->status, 403);

  auto text = client_->Post("/morvane.asp", {{"Origin", origin_}}, "PageNumber=1", "text/plain");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->status, 415);

  auto bad = client_->Post("/morvane.asp", {{"Origin", origin_}}, "sourcedir=%G1",
                           "application/x-www-form-urlencoded");
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->status, 400);
  EXPECT_NE(bad->body.find("malformed percent-encoding"), std::string::npos) << bad->body;

  std::string big = "asplist=" + std::string(1 << 20, 'a');
  auto large = client_->Post("/morvane.asp", {{"Origin", origin_}}, big,
                             "application/x-www-form-urlencoded");
  ASSERT_TRUE(large);
  EXPECT_EQ(large->status, 413);

  // A form body of more than the library's own small default limit is still served.
  std::string many = "asplist=" + std::string(100000, 'b');
  auto long_form = client_->Post("/morvane.asp", {{"Origin", origin_}}, many,
                                 "application/x-www-form-urlencoded");
  ASSERT_TRUE(long_form);
  EXPECT_EQ(long_form->status, 200);
}

TEST_F(HttpServerTest, AComponentErrorGives500AndServingGoesOn) {
  registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::FailingPage>(); });
  auto failed = client_->Get("/morvane.asp?fail=1");
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->status, 500);
  EXPECT_NE(failed->body.find("C:\\a&lt;b&gt;&amp;c: Permission &quot;denied&quot;"),
            std::string::npos)
      << failed->body;
  auto next = client_->Get("/morvane.asp");
  ASSERT_TRUE(next);
  EXPECT_EQ(next->status, 200);
  EXPECT_EQ(next->body, "partial page\ndone\n");
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
