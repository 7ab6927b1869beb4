#include "pagehost/http_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

#include "contract/automation.h"
#include "contract/host.h"
#include "pagehost/background_image.h"
#include "pagehost/http_test_client.h"

namespace vorlintex::pagehost {
namespace {

using testing::ClientResponse;
using testing::TestClient;

constexpr char kProgId[] = "tvorlintex.morvane";
const std::string kFormHeader = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr char kHtml[] = "text/html; charset=iso-8859-1";
constexpr char kEmptyPage[] = "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n";

// The page under the wizard's ProgID: writes "PageNumber=[..]", "sourcedir=[..]",
// "asplist=N:[a][b]" and "session=[..]" lines, storing the field "store" in the session as
// "sourcedir" first; with "fail=1", writes a line and fails.
class EchoPage : public automation::Object {
 public:
  Status Invoke(std::string_view name, std::vector<automation::Variant>& args) override {
    if (name == "OnStartPage") {
      context_ = std::get<std::shared_ptr<host::ScriptingContext>>(args.at(0));
      return Status::OK();
    }
    if (name == "OnEndPage") return Status::OK();
    if (name != "morvane" || !context_) return Status::Error(std::string(name), "unknown method");
    std::shared_ptr<host::Request> request;
    std::shared_ptr<host::Session> session;
    std::shared_ptr<host::Response> response;
    context_->Request(&request).IgnoreError();
    context_->Session(&session).IgnoreError();
    context_->Response(&response).IgnoreError();
    std::string value;
    request->Item("fail", &value).IgnoreError();
    if (value == "1") {
      response->Write("partial page\n").IgnoreError();
      return Status::Error("C:\\a<b>&c", "Permission \"denied\"");
    }
    request->Item("store", &value).IgnoreError();
    if (!value.empty()) session->SetItem("sourcedir", value).IgnoreError();
    std::string text;
    for (const char* field : {"PageNumber", "sourcedir"}) {
      request->Item(field, &value).IgnoreError();
      text += std::string(field) + "=[" + value + "]\n";
    }
    std::shared_ptr<host::FormCollection> list;
    request->Form("asplist", &list).IgnoreError();
    int count = 0;
    list->Count(&count).IgnoreError();
    text += "asplist=" + std::to_string(count) + ":";
    for (int i = 1; i <= count; ++i) {
      list->Item(i, &value).IgnoreError();
      text += "[" + value + "]";
    }
    session->Item("sourcedir", &value).IgnoreError();
    return response->Write(text + "\nsession=[" + value + "]\n");
  }

 private:
  std::shared_ptr<host::ScriptingContext> context_;
};

// An error page's body, as the page host writes it.
std::string ErrorBody(const std::string& status, const std::string& message) {
  return "<!DOCTYPE html>\r\n<html><head><title>" + status + "</title></head>\r\n<body><h1>" +
         status + "</h1>\r\n<p>" + message + "</p>\r\n</body></html>\r\n";
}

// The whole server on a free loopback port, in this process.
class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }
  void TearDown() override { StopServer(); }
  void Start(HttpServerOptions options, const automation::ClassRegistry* registry = nullptr) {
    registry_.Register(kProgId, [] { return std::make_unique<EchoPage>(); });
    options.port = 0;
    options.threads = 4;
    options.access_log = &log_;
    server_ = std::make_unique<HttpServer>(registry ? registry : &registry_, &sessions_, options);
    ASSERT_TRUE(server_->Bind().ok());
    serving_ = std::thread([this] { served_ = server_->Serve(); });
    host_ = "127.0.0.1:" + std::to_string(server_->port());
    origin_ = "http://" + host_;
  }
  // Stops the server and waits for every request in flight, the access log's lines included.
  void StopServer() {
    if (!serving_.joinable()) return;
    server_->Stop();
    serving_.join();
    EXPECT_TRUE(served_.ok()) << served_.ToString();
  }
  void Restart(HttpServerOptions options, const automation::ClassRegistry* registry = nullptr) {
    StopServer();
    server_.reset();
    Start(options, registry);
  }

  std::string Get(const std::string& target, const std::string& headers = "") {
    return "GET " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\n" + headers + "\r\n";
  }
  std::string Post(const std::string& target, const std::string& body,
                   const std::string& headers = kFormHeader) {
    return "POST " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\nOrigin: " + origin_ + "\r\n" +
           headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }
  // The answer to `request` on a new connection.
  std::optional<ClientResponse> Ask(const std::string& request) {
    TestClient client(server_->port());
    return client.Request(request);
  }

  // A client on a thread sends posts whose answers are 500 KB each and reads none of them;
  // `meanwhile` runs, then the wait for the server to give up on the client (its sends end).
  // How many answers the client got.
  int AnswersToAClientNotReading(const std::function<void()>& meanwhile) {
    std::string fields;
    for (int i = 0; i < 125; ++i) fields += "asplist=" + std::string(4000, 'b') + "&";
    const std::string post = Post("/morvane.asp", fields);
    TestClient stalled(server_->port());
    std::atomic<bool> sent = false;
    std::thread sender([&] {
      for (int i = 0; i < kUnreadPosts && stalled.Send(post); ++i) {
      }
      sent = true;
    });
    meanwhile();
    for (int waited = 0; !sent && waited < 100; ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(sent) << "the client not reading was not dropped";
    int answered = 0;
    while (stalled.Read()) ++answered;
    sender.join();
    return answered;
  }
  static constexpr int kUnreadPosts = 40;

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
  auto stored = client.Request(Post("/morvane.asp?PageNumber=1", "store=c%3A%5Csrc"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->status, 200);
  EXPECT_EQ(stored->Header("content-type"), kHtml);
  EXPECT_EQ(stored->body, "PageNumber=[1]\nsourcedir=[]\nasplist=0:\nsession=[c:\\src]\n");
  std::string cookie = stored->Header("set-cookie");
  const std::string id = cookie.substr(0, cookie.find(';'));
  EXPECT_EQ(cookie, id + "; Path=/; HttpOnly; SameSite=Strict");
  ASSERT_TRUE(id.starts_with("vorlintex_session="));
  EXPECT_TRUE(SessionStore::LooksLikeId(id.substr(18))) << id;

  auto other = Ask(Post("/morvane.asp", "store=two"));  // a session of its own
  ASSERT_TRUE(other);
  const std::string other_cookie = other->Header("set-cookie");
  const std::string other_id = other_cookie.substr(0, other_cookie.find(';'));
  ASSERT_NE(id, other_id);

  // The same connection, kept alive; the session cookie among others.
  auto again = client.Request(Get("/morvane.asp", "Cookie: a=1; " + id + "\r\n"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[c:\\src]\n");
  EXPECT_EQ(again->Header("set-cookie"), "");
  auto second = client.Request(Get("/morvane.asp", "Cookie: " + other_id + "\r\n"));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[two]\n");
  auto anonymous = client.Request(Get("/morvane.asp"));
  ASSERT_TRUE(anonymous);
  EXPECT_EQ(anonymous->body, kEmptyPage);
  EXPECT_EQ(anonymous->Header("set-cookie"), "");  // nothing stored, no session
}

// What a request's fields and headers make of the page: the whole body of each answer.
TEST_F(HttpServerTest, AnswersEachRequestWithItsPage) {
  const std::string at_limit(4096, 'a');
  const std::string over_limit(4097, 'a');
  const std::string no_path =
      "This server answers only requests addressed to 127.0.0.1, localhost, "
      "127.0.0.1, [::1] on port " +
      std::to_string(server_->port()) + ".";
  const std::string foreign = "Fields may be sent here only from a page of this server.";
  const std::string only_form = "A form must be posted as application/x-www-form-urlencoded.";
  const std::string too_long = " holds more than 4096 bytes; no folder or file name is that long.";
  struct Case {
    const char* name;
    std::string request;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"query before form, repeats joined",
       Post("/morvane.asp?PageNumber=1",
            "PageNumber=2&sourcedir=c%3A%5Csrc&SourceDir=d&asplist=b.asp&ASPLIST=A.ASP&asplist="
            "c+d.asp"),
       200,
       "PageNumber=[1]\nsourcedir=[c:\\src, d]\nasplist=3:[b.asp][A.ASP][c d.asp]\nsession=[]\n"},
      {"only posted fields are the form", Get("/morvane.asp?asplist=x.asp&sourcedir=q"), 200,
       "PageNumber=[]\nsourcedir=[q]\nasplist=0:\nsession=[]\n"},
      {"a field at the limit", Post("/MORVANE.ASP", "sourcedir=" + at_limit), 200,
       "PageNumber=[]\nsourcedir=[" + at_limit + "]\nasplist=0:\nsession=[]\n"},
      {"a form type with a charset",
       Post("/morvane.asp", "PageNumber=1",
            "Content-Type: Application/X-WWW-Form-Urlencoded; charset=x\r\n"),
       200, "PageNumber=[1]\nsourcedir=[]\nasplist=0:\nsession=[]\n"},
      {"a plain visit from a link elsewhere",
       Get("/morvane.asp", "Sec-Fetch-Site: cross-site\r\nReferer: http://docs.example/\r\n"), 200,
       kEmptyPage},
      {"fields typed by the user", Get("/morvane.asp?PageNumber=2", "Sec-Fetch-Site: none\r\n"),
       200, "PageNumber=[2]\nsourcedir=[]\nasplist=0:\nsession=[]\n"},
      {"bad form encoding", Post("/morvane.asp", "sourcedir=%zz"), 400,
       ErrorBody("400 Bad Request",
                 "Bad form field: %zz: malformed percent-encoding at byte 1 (a &quot;%&quot; must "
                 "be followed by two hex digits).")},
      {"NUL in the query", Get("/morvane.asp?a=%00"), 400,
       ErrorBody("400 Bad Request",
                 "Bad query string: %00: a field may not hold a NUL byte "
                 "(%00).")},
      {"a value over the limit", Get("/morvane.asp?sourcedir=" + over_limit), 400,
       ErrorBody("400 Bad Request", "The field sourcedir" + too_long)},
      {"a name over the limit", Post("/morvane.asp", over_limit + "=1"), 400,
       ErrorBody("400 Bad Request", "The field " + over_limit.substr(0, 64) + too_long)},
      {"another host", "GET /morvanebg.gif HTTP/1.1\r\nHost: rebound.example\r\n\r\n", 403,
       ErrorBody("403 Forbidden", no_path)},
      {"a post from another site",
       "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
           "\r\nOrigin: http://attacker.example\r\nContent-Length: 0\r\n\r\n",
       403, ErrorBody("403 Forbidden", foreign)},
      {"a query from another site",
       Get("/morvane.asp?PageNumber=2&targetdir=C:%5Cx", "Sec-Fetch-Site: cross-site\r\n"), 403,
       ErrorBody("403 Forbidden", foreign)},
      {"a text body", Post("/morvane.asp", "PageNumber=1", "Content-Type: text/plain\r\n"), 415,
       ErrorBody("415 Unsupported Media Type", only_form)},
      {"a body without a type", Post("/morvane.asp", "a=1", ""), 415,
       ErrorBody("415 Unsupported Media Type", only_form)},
      {"no page there", Get("/nothing/here"), 404,
       ErrorBody("404 Not Found",
                 "There is no page at this address. The wizard is at /morvane.asp.")},
      {"PUT", "PUT /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\nContent-Length: 0\r\n\r\n", 405,
       ErrorBody("405 Method Not Allowed", "This address answers GET, HEAD, POST.")},
  };
  for (const Case& c : cases) {
    auto answer = Ask(c.request);
    ASSERT_TRUE(answer) << c.name;
    EXPECT_EQ(answer->status, c.status) << c.name;
    EXPECT_EQ(answer->body, c.body) << c.name;
    EXPECT_EQ(answer->Header("content-type"), kHtml) << c.name;
  }
}

// The token's address gives the access cookie; without it, nothing is served.
TEST_F(HttpServerTest, OnlyABrowserGivenTheTokenGetsIn) {
  HttpServerOptions options;
  options.token = "0123456789abcdef0123456789abcdef";
  options.access_key = "fedcba9876543210fedcba9876543210";
  Restart(options);
  const std::string access = "Cookie: vorlintex_access=" + options.access_key + "\r\n";
  auto visit = Ask(Get("/?token=" + options.token));
  ASSERT_TRUE(visit);
  EXPECT_EQ(visit->head,
            "HTTP/1.1 302 Found\r\nLocation: /morvane.asp\r\nSet-Cookie: "
            "vorlintex_access=fedcba9876543210fedcba9876543210; Path=/; HttpOnly; "
            "SameSite=Strict\r\nCache-Control: no-store\r\nReferrer-Policy: "
            "no-referrer\r\nContent-Type: text/html; charset=iso-8859-1\r\n"
            "Content-Length: 0\r\n\r\n");
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"page with the cookie", Get("/morvane.asp", "Cookie: a=1; " + access.substr(8)), 200},
      {"form with the cookie", Post("/morvane.asp", "a=1", kFormHeader + access), 200},
      {"page without it", Get("/morvane.asp"), 403},
      {"form without it", Post("/morvane.asp", "a=1"), 403},
      {"image without it", Get("/morvanebg.gif"), 403},
      {"forged cookie", Get("/morvane.asp", "Cookie: vorlintex_access=0\r\n"), 403},
      {"token as cookie", Get("/morvane.asp", "Cookie: vorlintex_access=" + options.token + "\r\n"),
       403},
      {"wrong token", Get("/?token=0123456789abcdef0123456789abcdee"), 403},
      {"empty token", Get("/?token="), 403},
      {"token on the page", Get("/morvane.asp?token=" + options.token), 403},
  };
  for (const Case& c : cases) {
    auto answer = Ask(c.request);
    ASSERT_TRUE(answer) << c.what;
    EXPECT_EQ(answer->status, c.status) << c.what;
    EXPECT_EQ(answer->Header("set-cookie"), "") << c.what;
    if (c.status == 403) {
      EXPECT_EQ(answer->body, ErrorBody("403 Forbidden",
                                        "To use the wizard, open the address that vorlintex serve "
                                        "printed when it started (it ends in ?token=...)."))
          << c.what;
    }
  }
}

TEST_F(HttpServerTest, AComponentErrorGives500AndServingGoesOn) {
  auto failed = Ask(Get("/morvane.asp?fail=1"));
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->status, 500);
  EXPECT_EQ(failed->body, ErrorBody("500 Internal Server Error",
                                    "The page stopped with an error: C:\\a&lt;b&gt;&amp;c: "
                                    "Permission &quot;denied&quot;"));
  auto next = Ask(Get("/morvane.asp"));
  ASSERT_TRUE(next);
  EXPECT_EQ(next->body, kEmptyPage);

  automation::ClassRegistry empty;
  Restart({}, &empty);
  auto missing = Ask(Get("/morvane.asp"));
  StopServer();
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 500);
  EXPECT_NE(missing->body.find(kProgId), std::string::npos) << missing->body;
}

// Every head the server will not serve gets its status, an error page, and the end of the
// connection; a body announced is never read, nor asked for with 100 Continue.
TEST_F(HttpServerTest, RefusedHeadsGetTheirStatusAndTheConnectionCloses) {
  std::string lines_101;
  for (int i = 0; i < 101; ++i) lines_101 += "X-Line-" + std::to_string(i) + ": v\r\n";
  const std::string form_head = "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
                                "\r\nOrigin: " + origin_ + "\r\n" + kFormHeader;
  struct Case {
    const char* name;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"body over the limit", form_head + "Expect: 100-continue\r\nContent-Length: 2000000\r\n\r\n",
       413},
      {"body from another site",
       "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
           "\r\nOrigin: http://attacker.example\r\nExpect: 100-continue\r\nContent-Length: "
           "100\r\n\r\n",
       403},
      {"101 header lines", Get("/morvane.asp", lines_101), 431},
      {"head over 64 KiB", Get("/morvane.asp", "X-Long: " + std::string(70000, 'v') + "\r\n"), 431},
      {"control byte in a value", Get("/morvane.asp", std::string("Cookie: a\x01") + "b\r\n"), 400},
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
    EXPECT_EQ(answer->Header("content-type"), kHtml) << c.name;
    EXPECT_TRUE(client.ClosedByServer()) << c.name;
  }
  StopServer();
  EXPECT_NE(log_.str().find("GET /morvane.asp 431 "), std::string::npos) << log_.str();
}

// The client is still sending a body over the limit when the server answers and closes: it
// gets the answer.
TEST_F(HttpServerTest, AnAnswerBeforeTheBodyReachesAClientStillSending) {
  TestClient client(server_->port());
  std::thread sender([&] { client.Send(Post("/morvane.asp", std::string(3 << 20, 'x'))); });
  auto answer = client.Read();
  sender.join();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 413);
  EXPECT_EQ(answer->Header("connection"), "close");
}

// A client that waits for leave to send its body is told to go on at once.
TEST_F(HttpServerTest, ExpectContinueIsAnsweredBeforeTheBody) {
  const std::string body = "PageNumber=1&sourcedir=" + std::string(2000, 'a');
  const std::string post = Post("/morvane.asp", body, kFormHeader + "Expect: 100-continue\r\n");
  TestClient client(server_->port(), std::chrono::seconds(2));
  ASSERT_TRUE(client.Send(post.substr(0, post.size() - body.size())));
  auto go_on = client.Read(true);
  ASSERT_TRUE(go_on) << "no answer before the body";
  EXPECT_EQ(go_on->status, 100);
  ASSERT_TRUE(client.Send(body));
  auto page = client.Read();
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
}

TEST_F(HttpServerTest, AnswersPipelinedRequestsInOrderAndLogsThem) {
  TestClient client(server_->port());
  ASSERT_TRUE(client.Send(Get("/morvanebg.gif") + "HEAD /morvanebg.gif HTTP/1.1\r\nHost: " + host_ +
                          "\r\n\r\n" + Get("/") + Get("/x%0AGET%20/morvane.asp%20200")));
  auto image = client.Read();
  auto head = client.Read(/*to_head=*/true);
  auto root = client.Read();
  auto forged = client.Read();
  ASSERT_TRUE(image && head && root && forged);
  const std::string image_head =
      "HTTP/1.1 200 OK\r\nCache-Control: max-age=86400\r\n"
      "Content-Type: image/gif\r\nContent-Length: " +
      std::to_string(BackgroundGif().size()) + "\r\n\r\n";
  EXPECT_EQ(image->head, image_head);
  EXPECT_EQ(image->body, BackgroundGif());
  EXPECT_EQ(head->head, image_head);
  EXPECT_EQ(root->head,
            "HTTP/1.1 302 Found\r\nLocation: /morvane.asp\r\n"
            "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(forged->status, 404);

  // A path cannot forge a line of the log.
  StopServer();
  std::string log = log_.str();
  EXPECT_NE(log.find("GET /x\\x0aGET /morvane.asp 200 404 "), std::string::npos) << log;
  EXPECT_EQ(log.find("\nGET /morvane.asp 200"), std::string::npos) << log;
  EXPECT_NE(log.find("GET /morvanebg.gif 200 " + std::to_string(BackgroundGif().size()) + " "),
            std::string::npos)
      << log;
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

// Answers that clients do not take are held up to a bound; past it, the client that has taken
// nothing for longest is dropped, not the one being answered, and long before the 30 s a
// stalled write is given.
TEST_F(HttpServerTest, AnswersNobodyReadsAreBoundedDroppingTheSlowestFirst) {
  HttpServerOptions options;
  options.max_unsent = 256 * 1024;
  Restart(options);
  int answered = AnswersToAClientNotReading([&] {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    TestClient reader(server_->port());
    std::string fields;
    for (int i = 0; i < 125; ++i) fields += "asplist=" + std::string(4000, 'b') + "&";
    auto answer = reader.Request(Post("/morvane.asp", fields));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
  });
  EXPECT_LT(answered, kUnreadPosts);
}

TEST_F(HttpServerTest, EveryWaitHasItsDeadline) {
  HttpServerOptions options;
  options.timeouts.head = std::chrono::milliseconds(500);
  options.timeouts.idle = std::chrono::milliseconds(300);
  options.timeouts.body_floor = std::chrono::milliseconds(300);
  options.timeouts.write_stall = std::chrono::milliseconds(300);
  Restart(options);

  // A head that trickles in gets 408 in its time, while others are served.
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

  // An idle connection is closed without an answer.
  TestClient idle(server_->port());
  EXPECT_TRUE(idle.ClosedByServer());

  // A body that stops coming.
  TestClient body(server_->port());
  auto unfinished = body.Request(Post("/morvane.asp", std::string(1000, 'x')).substr(0, 400));
  ASSERT_TRUE(unfinished);
  EXPECT_EQ(unfinished->status, 408);
  EXPECT_TRUE(body.ClosedByServer());

  // Answers nobody reads: once they fill the system's buffers, the write stalls and the server
  // gives up on the client well before all are sent.
  EXPECT_LT(AnswersToAClientNotReading([] {}), kUnreadPosts);
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

TEST_F(HttpServerTest, APortInUseIsReportedAndStopBeforeServeEndsServeAtOnce) {
  HttpServerOptions options;
  options.port = server_->port();
  HttpServer second(&registry_, &sessions_, options);
  EXPECT_EQ(second.Bind().ToString(), "127.0.0.1:" + std::to_string(server_->port()) +
                                          ": cannot listen there (the port is in use, or the "
                                          "address is not one of this machine's)");
  options.port = 0;
  HttpServer third(&registry_, &sessions_, options);
  ASSERT_TRUE(third.Bind().ok());
  third.Stop();
  EXPECT_TRUE(third.Serve().ok());
}

TEST(ParseListenAddressTest, SplitsHostAndPort) {
  struct Case {
    const char* text;
    const char* host;  // empty: not an address
    int port;
  };
  const Case cases[] = {{"127.0.0.1:8080", "127.0.0.1", 8080},
                        {"localhost:0", "localhost", 0},
                        {"[::1]:9000", "::1", 9000},
                        {"0.0.0.0:65535", "0.0.0.0", 65535},
                        {"127.0.0.1", "", 0},
                        {":8080", "", 0},
                        {"::1:8080", "", 0},
                        {"host:65536", "", 0},
                        {"host:80x", "", 0},
                        {"[]:80", "", 0}};
  for (const Case& c : cases) {
    std::string host;
    int port = -1;
    EXPECT_EQ(ParseListenAddress(c.text, &host, &port), *c.host != '\0') << c.text;
    if (*c.host) {
      EXPECT_EQ(host, c.host) << c.text;
      EXPECT_EQ(port, c.port) << c.text;
    }
  }
}

}  // namespace
}  // namespace vorlintex::pagehost
