#include "pagehost/http_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>
#include <tuple>

#include "contract/ascii.h"
#include "contract/automation.h"
#include "contract/host.h"

namespace vorlintex::pagehost {
namespace {

using std::chrono::milliseconds;

// A blocking HTTP/1.1 client: sends raw bytes, reads whole responses (Content-Length framed),
// and tells when the server has closed the connection. Every wait is given up after a timeout,
// so a server that hangs fails the test rather than blocking it.
struct ClientResponse {
  int status = 0;
  std::string head;  // status line and headers, as sent
  std::string body;

  // The value of the header `lower_name` (given in lower case); empty when there is none.
  std::string Header(const std::string& lower_name) const {
    size_t at = AsciiLower(head).find("\r\n" + lower_name + ": ");
    if (at == std::string::npos) return std::string();
    at += lower_name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
  }
};

class TestClient {
 public:
  explicit TestClient(int port, std::chrono::milliseconds timeout = std::chrono::seconds(10))
      : socket_(io_) {
    boost::system::error_code error;
    socket_.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)},
                    error);
    timeval wait{timeout.count() / 1000, static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
    setsockopt(socket_.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  }

  bool Send(std::string_view bytes) {
    boost::system::error_code error;
    boost::asio::write(socket_, boost::asio::buffer(bytes.data(), bytes.size()), error);
    return !error;
  }

  // The next response; status 0 when the connection ends or times out before it is whole. A
  // response to HEAD has no body whatever its Content-Length says.
  ClientResponse Read(bool to_head = false) {
    size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
      if (Fill() <= 0) return ClientResponse();
    }
    ClientResponse response;
    response.head = buffer_.substr(0, end + 4);
    buffer_.erase(0, end + 4);
    size_t length = to_head ? 0 : std::stoul("0" + response.Header("content-length"));
    while (buffer_.size() < length) {
      if (Fill() <= 0) return ClientResponse();
    }
    response.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    response.status = response.head.size() < 12 ? 0 : std::stoi(response.head.substr(9, 3));
    return response;
  }

  // The response to `bytes`; status 0 when none came.
  ClientResponse Request(std::string_view bytes) { return Send(bytes) ? Read() : ClientResponse(); }

  // Whether the server closes the connection with nothing more sent, within the timeout.
  bool ClosedByServer() { return buffer_.empty() && Fill() == 0; }

 private:
  // Reads what comes within the timeout: the count of bytes, 0 at the end, -1 on a timeout.
  ssize_t Fill() {
    char chunk[16384];
    ssize_t count = recv(socket_.native_handle(), chunk, sizeof chunk, 0);
    if (count > 0) buffer_.append(chunk, count);
    return count;
  }

  boost::asio::io_context io_;
  boost::asio::ip::tcp::socket socket_;
  std::string buffer_;
};

const std::string kFormHeader = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr char kHtml[] = "text/html; charset=iso-8859-1";
constexpr char kEmptyPage[] = "[][]0:[]";
// The packaged background the page host must serve, read from the source tree.
std::string PackagedBackground() {
  std::ifstream file(VORLINTEX_BACKGROUND_GIF, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The page under the wizard's ProgID: "[PageNumber][sourcedir]count:[asplist items][session's
// sourcedir]", after storing the field "store" there; fails on "fail=1".
class EchoPage : public automation::Object {
 public:
  Status Invoke(std::string_view name, std::vector<automation::Variant>& args) override {
    if (name == "OnStartPage") {
      context_ = std::get<std::shared_ptr<host::ScriptingContext>>(args.at(0));
    }
    if (name != "morvane") return Status::OK();
    std::shared_ptr<host::Request> request;
    std::shared_ptr<host::Session> session;
    std::shared_ptr<host::Response> response;
    std::shared_ptr<host::FormCollection> list;
    if (!context_->Request(&request).ok() || !context_->Session(&session).ok() ||
        !context_->Response(&response).ok() || !request->Form("asplist", &list).ok()) {
      return Status::Error("EchoPage", "no host objects");
    }
    std::string value, text;
    request->Item("fail", &value).IgnoreError();
    if (value == "1") {
      response->Write("partial page\n").IgnoreError();
      return Status::Error("C:\\a<b>&c", "Permission \"denied\"");
    }
    request->Item("store", &value).IgnoreError();
    if (!value.empty()) session->SetItem("sourcedir", value).IgnoreError();
    for (const char* field : {"PageNumber", "sourcedir"}) {
      request->Item(field, &value).IgnoreError();
      text += "[" + value + "]";
    }
    int count = 0;
    list->Count(&count).IgnoreError();
    text += std::to_string(count) + ":";
    for (int i = 1; i <= count; ++i) {
      list->Item(i, &value).IgnoreError();
      text += "[" + value + "]";
    }
    session->Item("sourcedir", &value).IgnoreError();
    return response->Write(text + "[" + value + "]");
  }

 private:
  std::shared_ptr<host::ScriptingContext> context_;
};

// An error page as the page host writes it, for a status line like "404 Not Found".
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
    StopServer();
    registry_.Register("tvorlintex.morvane", [] { return std::make_unique<EchoPage>(); });
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

  std::string Get(const std::string& target, const std::string& headers = "") {
    return "GET " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\n" + headers + "\r\n";
  }
  std::string Post(const std::string& target, const std::string& body,
                   const std::string& headers = kFormHeader) {
    return "POST " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\nOrigin: " + origin_ + "\r\n" +
           headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }
  ClientResponse Ask(const std::string& request) {
    return TestClient(server_->port()).Request(request);
  }

  // How many answers a client gets that sends posts answered 500 KB each and reads nothing
  // until the server gives up on it (its sends end), `meanwhile` running.
  int AnswersToAClientNotReading(const std::function<void()>& meanwhile) {
    TestClient stalled(server_->port());
    std::atomic<bool> sent = false;
    std::thread sender([&] {
      for (int i = 0; i < kUnreadPosts && stalled.Send(BigAnswerPost()); ++i) {
      }
      sent = true;
    });
    meanwhile();
    for (int waited = 0; !sent && waited < 100; ++waited) {
      std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_TRUE(sent) << "the client not reading was not dropped";
    int answered = 0;
    while (stalled.Read().status != 0) ++answered;
    sender.join();
    return answered;
  }
  std::string BigAnswerPost() {
    std::string fields;
    for (int i = 0; i < 125; ++i) fields += "asplist=" + std::string(4000, 'b') + "&";
    return Post("/morvane.asp", fields);
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
  ClientResponse stored = client.Request(Post("/morvane.asp", "store=c%3A%5Csrc"));
  EXPECT_EQ(stored.body, "[][]0:[c:\\src]");
  const std::string cookie = stored.Header("set-cookie");
  const std::string id = cookie.substr(0, cookie.find(';'));
  EXPECT_EQ(cookie, id + "; Path=/; HttpOnly; SameSite=Strict");
  ASSERT_TRUE(id.starts_with("vorlintex_session="));
  EXPECT_TRUE(SessionStore::LooksLikeId(id.substr(18))) << id;
  std::string other = Ask(Post("/morvane.asp", "store=two")).Header("set-cookie");
  other.resize(other.find(';'));
  ASSERT_NE(other, id);

  // The same connection, kept alive; the session's cookie among others.
  ClientResponse again = client.Request(Get("/morvane.asp", "Cookie: a=1; " + id + "\r\n"));
  EXPECT_EQ(again.body, "[][]0:[c:\\src]");
  EXPECT_EQ(again.Header("set-cookie"), "");
  EXPECT_EQ(client.Request(Get("/morvane.asp", "Cookie: " + other + "\r\n")).body, "[][]0:[two]");
  ClientResponse anonymous = client.Request(Get("/morvane.asp"));
  EXPECT_EQ(anonymous.body, kEmptyPage);
  EXPECT_EQ(anonymous.Header("set-cookie"), "");  // nothing stored, no session
}

// What a request's fields and headers make of the page: the whole of each answer.
TEST_F(HttpServerTest, AnswersEachRequestWithItsPage) {
  const std::string at_limit(4096, 'a');
  const std::string over(4097, 'a');
  const std::string too_long = " holds more than 4096 bytes; no folder or file name is that long.";
  const std::string foreign = "Fields may be sent here only from a page of this server.";
  const std::string foreign_host =
      "This server answers only requests addressed to 127.0.0.1, localhost, 127.0.0.1, [::1] on "
      "port " +
      std::to_string(server_->port()) + ".";
  // A request, its status line, and its page; an error page says the message given.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // The query before the form, repeats joined, only posted fields in the form.
      {Post("/morvane.asp?PageNumber=1&asplist=x.asp",
            "PageNumber=2&sourcedir=c%3A%5Csrc&SourceDir=d&asplist=b.asp&ASPLIST=A.ASP&"
            "asplist=c+d.asp",
            kFormHeader + "Sec-Fetch-Site: same-origin\r\n"),
       "200 OK", "[1][c:\\src, d]3:[b.asp][A.ASP][c d.asp][]"},
      {"GET http://" + host_ + "/morvane.asp?PageNumber=3 HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n",
       "200 OK", "[3][]0:[]"},
      // Names outside ASCII as an iso-8859-1 page posts them, and back as the page sent them.
      {Post("/morvane.asp", "sourcedir=%2Ftmp%2Fsrc-caf%E9&asplist=%26%2322823%3B.asp"), "200 OK",
       "[][/tmp/src-caf\xE9]1:[&#22823;.asp][]"},
      {Post("/MORVANE.ASP", "sourcedir=" + at_limit), "200 OK", "[][" + at_limit + "]0:[]"},
      {Post("/morvane.asp", "PageNumber=1",
            "Content-Type: Application/X-WWW-Form-Urlencoded; charset=windows-1252\r\n"),
       "200 OK", "[1][]0:[]"},
      // A plain visit from a link elsewhere; fields typed by the user.
      {Get("/morvane.asp", "Sec-Fetch-Site: cross-site\r\nReferer: http://docs.example/\r\n"),
       "200 OK", kEmptyPage},
      {Get("/morvane.asp?PageNumber=2", "Sec-Fetch-Site: none\r\n"), "200 OK", "[2][]0:[]"},
      {Post("/morvane.asp", "sourcedir=%zz"), "400 Bad Request",
       "Bad form field: %zz: malformed percent-encoding at byte 1 (a &quot;%&quot; must be "
       "followed by two hex digits)."},
      {Get("/morvane.asp?a=%00"), "400 Bad Request",
       "Bad query string: %00: a field may not hold a NUL byte (%00)."},
      {Get("/morvane.asp?sourcedir=" + over), "400 Bad Request", "The field sourcedir" + too_long},
      {Post("/morvane.asp", over + "=1"), "400 Bad Request",
       "The field " + over.substr(0, 64) + too_long},
      {"GET /morvanebg.gif HTTP/1.1\r\nHost: rebound.example\r\n\r\n", "403 Forbidden",
       foreign_host},
      // An absolute-form target's authority counts, not the Host header.
      {"GET http://evil.example/morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n",
       "403 Forbidden", foreign_host},
      {"GET http://evil.example?PageNumber=2 HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n",
       "403 Forbidden", foreign_host},
      {"POST /morvane.asp HTTP/1.1\r\nHost: " + host_ +
           "\r\nReferer: http://evil.example/form.html\r\nContent-Length: 0\r\n\r\n",
       "403 Forbidden", foreign},
      {Get("/morvane.asp?PageNumber=2", "Sec-Fetch-Site: Same-Site\r\n"), "403 Forbidden", foreign},
      {Post("/morvane.asp", "a=1", ""), "415 Unsupported Media Type",
       "A form must be posted as application/x-www-form-urlencoded."},
      {Get("/morvane.asp?fail=1"), "500 Internal Server Error",
       "The page stopped with an error: C:\\a&lt;b&gt;&amp;c: Permission &quot;denied&quot;"},
      {Get("/nothing/here"), "404 Not Found",
       "There is no page at this address. The wizard is at /morvane.asp."},
      {"PUT /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\nContent-Length: 0\r\n\r\n",
       "405 Method Not Allowed", "This address answers GET, HEAD, POST."},
  };
  for (const auto& [request, status, body] : cases) {
    ClientResponse answer = Ask(request);
    const std::string what = request.substr(0, 80);
    EXPECT_TRUE(answer.head.starts_with("HTTP/1.1 " + status + "\r\n")) << what << answer.head;
    EXPECT_EQ(answer.body, status == "200 OK" ? body : ErrorBody(status, body)) << what;
    EXPECT_EQ(answer.Header("content-type"), kHtml) << what;
  }
}

// The token's address gives the access cookie; without it, nothing is served. (With the page's
// class missing here, what gets through is answered 500, naming it.)
TEST_F(HttpServerTest, OnlyABrowserGivenTheTokenGetsIn) {
  HttpServerOptions options;
  options.token = "0123456789abcdef0123456789abcdef";
  options.access_key = "fedcba9876543210fedcba9876543210";
  automation::ClassRegistry empty;
  Start(options, &empty);
  const std::string access = "vorlintex_access=" + options.access_key;
  EXPECT_EQ(
      Ask(Get("/?token=" + options.token)).head,
      "HTTP/1.1 302 Found\r\nLocation: /morvane.asp\r\nSet-Cookie: " + access +
          "; Path=/; HttpOnly; SameSite=Strict\r\nCache-Control: no-store\r\nReferrer-Policy: "
          "no-referrer\r\nContent-Type: text/html; charset=iso-8859-1\r\nContent-Length: "
          "0\r\n\r\n");
  const std::pair<std::string, int> cases[] = {
      {Get("/morvane.asp", "Cookie: a=1; " + access + "\r\n"), 500},
      {Post("/morvane.asp", "a=1", kFormHeader + "Cookie: " + access + "\r\n"), 500},
      {Get("/morvane.asp"), 403},
      {Post("/morvane.asp", "a=1", kFormHeader + "Expect: 100-continue\r\n"), 403},  // no 100
      {Get("/morvane.asp", "Cookie: vorlintex_access=0\r\n"), 403},
      {Get("/morvane.asp", "Cookie: vorlintex_access=" + options.token + "\r\n"), 403},
      {Get("/?token=0123456789abcdef0123456789abcdee"), 403},
      {Get("/?token="), 403},
      {Get("/morvane.asp?token=" + options.token), 403},
  };
  for (const auto& [request, status] : cases) {
    ClientResponse answer = Ask(request);
    EXPECT_EQ(answer.status, status) << request;
    EXPECT_EQ(answer.Header("set-cookie"), "") << request;
    if (status == 500) {
      EXPECT_NE(answer.body.find("tvorlintex.morvane"), std::string::npos) << answer.body;
    } else {
      EXPECT_EQ(answer.body, ErrorBody("403 Forbidden",
                                       "To use the wizard, open the address that vorlintex serve "
                                       "printed when it started (it ends in ?token=...)."));
    }
  }
}

// Every head the server will not serve gets its status, an error page, and the end of the
// connection; a body announced is never read, nor asked for with 100 Continue. An HTTP/1.0
// request is served, then closed too, unless it asks to be kept.
TEST_F(HttpServerTest, RefusedHeadsGetTheirStatusAndTheConnectionCloses) {
  std::string lines_101;
  for (int i = 0; i < 101; ++i) lines_101 += "X-Line-" + std::to_string(i) + ": v\r\n";
  const std::string post = "POST /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\n";
  const std::string form = post + "Origin: " + origin_ + "\r\n" + kFormHeader;
  const std::pair<std::string, int> cases[] = {
      {form + "Expect: 100-continue\r\nContent-Length: 2000000\r\n\r\n", 413},
      {post +
           "Origin: http://attacker.example\r\nExpect: 100-continue\r\nContent-Length: 9\r\n\r\n",
       403},
      {Get("/morvane.asp", lines_101), 431},
      {Get("/morvane.asp", "X-Long: " + std::string(70000, 'v') + "\r\n"), 431},
      {Get("/morvane.asp", std::string("Cookie: a\x01") + "b\r\n"), 400},
      {Get("/morvane.asp", "Content-Length: -5\r\n"), 400},
      {Get("/morvane.asp", "Host: " + host_ + "\r\n"), 400},
      {Get("/", "Origin: " + origin_ + "\r\norigin: " + origin_ + "\r\n"), 400},
      {Get("/" + std::string(9000, 'a')), 414},
      {Get("/" + std::string(100000, 'a')), 414},
      {std::string(9000, 'G'), 400},
      {"GARBAGE\r\n\r\n", 400},
      {"GET morvane.asp HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n", 400},
      {"GET /morvane.asp HTTP/2.0\r\nHost: " + host_ + "\r\n\r\n", 505},
      {"GET /morvane.asp HTTX/1.1\r\nHost: " + host_ + "\r\n\r\n", 400},
      {"GET /morvane.asp HTTP/1.1\nHost: " + host_ + "\n\n", 400},
      {"GET /morvane.asp HTTP/1.1\r\nHost: " + host_ + "\n\n", 400},
      {form + "Transfer-Encoding: chunked\r\n\r\n", 411},
      {form + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {form + "Transfer-Encoding: gzip\r\n\r\n", 501},
      {"GET / HTTP/1.0\r\nHost: " + host_ + "\r\n\r\n", 302},  // served, not kept
  };
  for (const auto& [request, status] : cases) {
    TestClient client(server_->port());
    ClientResponse answer = client.Request(request);
    const std::string what = request.substr(0, 200);
    EXPECT_EQ(answer.status, status) << what;
    EXPECT_EQ(answer.Header("connection"), "close") << what;
    EXPECT_EQ(answer.Header("content-type"), kHtml) << what;
    EXPECT_TRUE(client.ClosedByServer()) << what;
  }
  StopServer();
  EXPECT_NE(log_.str().find("GET /morvane.asp 431 "), std::string::npos) << log_.str();
}

// A client that waits for leave to send its body is told to go on at once; one still sending
// a body over the limit when the server answers and closes gets the answer.
TEST_F(HttpServerTest, ABodyIsAskedForWhenAwaitedAndAnswersReachAClientStillSending) {
  const std::string body = "PageNumber=1&sourcedir=" + std::string(2000, 'a');
  const std::string post = Post("/morvane.asp", body, kFormHeader + "Expect: 100-continue\r\n");
  TestClient waiting(server_->port(), std::chrono::seconds(2));
  ASSERT_TRUE(waiting.Send(post.substr(0, post.size() - body.size())));
  ASSERT_EQ(waiting.Read(/*to_head=*/true).status, 100) << "no answer before the body";
  EXPECT_EQ(waiting.Request(body).status, 200);

  TestClient sending(server_->port());
  std::thread sender([&] { sending.Send(Post("/morvane.asp", std::string(3 << 20, 'x'))); });
  ClientResponse answer = sending.Read();
  sender.join();
  EXPECT_EQ(answer.status, 413);
  EXPECT_EQ(answer.Header("connection"), "close");
}

// Bodies being received share one bound, taken when a head is accepted (before 100 Continue):
// a body that does not fit is refused 503 unread, and the bound comes back once a page has run.
TEST_F(HttpServerTest, BodiesBeingReceivedShareOneBound) {
  HttpServerOptions options;
  options.max_receiving = 3000;
  Start(options);
  const std::string body = "sourcedir=" + std::string(1990, 'a');
  const std::string post = Post("/morvane.asp", body);
  const std::string awaiting = Post("/morvane.asp", body, kFormHeader + "Expect: 100-continue\r\n");
  TestClient holding(server_->port());
  ASSERT_TRUE(holding.Send(awaiting.substr(0, awaiting.size() - body.size())));
  ASSERT_EQ(holding.Read(/*to_head=*/true).status, 100);
  TestClient refused(server_->port());
  ClientResponse answer = refused.Request(post);
  EXPECT_EQ(answer.status, 503);
  EXPECT_EQ(answer.body, ErrorBody("503 Service Unavailable",
                                   "The server is receiving as many request bodies as it can "
                                   "hold; send the form again in a moment."));
  EXPECT_TRUE(refused.ClosedByServer());
  EXPECT_EQ(holding.Request(body).status, 200);
  EXPECT_EQ(Ask(post).status, 200);
}

TEST_F(HttpServerTest, AnswersPipelinedRequestsInOrderAndLogsThem) {
  TestClient client(server_->port());
  ASSERT_TRUE(client.Send(Get("/morvanebg.gif") + "HEAD /morvanebg.gif HTTP/1.1\r\nHost: " + host_ +
                          "\r\n\r\n" + "GET / HTTP/1.0\r\nConnection: keep-alive\r\nHost: " +
                          host_ + "\r\n\r\n" + Get("/x%0AGET%20/morvane.asp%20200%zz")));
  ClientResponse image = client.Read(), head = client.Read(/*to_head=*/true), root = client.Read(),
                 forged = client.Read();
  const std::string gif = PackagedBackground();
  ASSERT_EQ(gif.substr(0, 6), "GIF89a") << "not read: " << VORLINTEX_BACKGROUND_GIF;
  const std::string image_head =
      "HTTP/1.1 200 OK\r\nCache-Control: max-age=86400\r\nContent-Type: image/gif\r\n"
      "Content-Length: " +
      std::to_string(gif.size()) + "\r\n\r\n";
  EXPECT_EQ(image.head, image_head);
  EXPECT_EQ(image.body, gif);
  EXPECT_EQ(head.head, image_head);
  EXPECT_EQ(root.head,
            "HTTP/1.1 302 Found\r\nLocation: /morvane.asp\r\n"
            "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 0\r\n"
            "Connection: keep-alive\r\n\r\n");
  EXPECT_EQ(forged.status, 404);  // the HTTP/1.0 connection was kept

  // A path cannot forge a line of the log.
  StopServer();
  std::string log = log_.str();
  EXPECT_NE(log.find("GET /x\\x0aGET /morvane.asp 200%zz 404 "), std::string::npos) << log;
  EXPECT_EQ(log.find("\nGET /morvane.asp 200"), std::string::npos) << log;
  EXPECT_NE(log.find("GET /morvanebg.gif 200 " + std::to_string(gif.size()) + " "),
            std::string::npos)
      << log;
}

TEST_F(HttpServerTest, EveryWaitHasItsDeadlineAndUnreadAnswersTheirBound) {
  HttpServerOptions options;
  options.timeouts.head = milliseconds(500);
  options.timeouts.idle = options.timeouts.body_floor = options.timeouts.write_stall =
      milliseconds(300);
  Start(options);

  // A head that trickles in gets 408 in its time, while others are served.
  TestClient slow(server_->port());
  ASSERT_TRUE(slow.Send("GET /morvane.asp HTTP/1.1\r\nHo"));
  EXPECT_EQ(Ask(Get("/")).status, 302);
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(milliseconds(250));
    slow.Send("s");  // a byte now and then does not extend the time for the head
  }
  EXPECT_EQ(slow.Read().status, 408);
  EXPECT_TRUE(slow.ClosedByServer());

  TestClient idle(server_->port());  // closed without an answer
  EXPECT_TRUE(idle.ClosedByServer());

  TestClient body(server_->port());  // a body that stops coming
  EXPECT_EQ(body.Request(Post("/morvane.asp", std::string(1000, 'x')).substr(0, 400)).status, 408);
  EXPECT_TRUE(body.ClosedByServer());

  // Once answers nobody reads fill the system's buffers, the write stalls: the server gives up
  // on the client well before all are sent.
  EXPECT_LT(AnswersToAClientNotReading([] {}), kUnreadPosts);

  // Answers that clients do not take are held up to a bound; past it, the client that has taken
  // nothing for longest is dropped, not the one being answered, and long before the 30 s a
  // stalled write is given.
  HttpServerOptions bounded;
  bounded.max_unsent = 256 * 1024;
  Start(bounded);
  EXPECT_LT(AnswersToAClientNotReading([&] {
              std::this_thread::sleep_for(std::chrono::seconds(1));
              EXPECT_EQ(TestClient(server_->port()).Request(BigAnswerPost()).status, 200);
            }),
            kUnreadPosts);
}

TEST_F(HttpServerTest, TheLongestIdleConnectionMakesRoomForANewOne) {
  HttpServerOptions options;
  options.max_connections = 2;
  Start(options);
  TestClient oldest(server_->port());
  EXPECT_EQ(oldest.Request(Get("/")).status, 302);
  TestClient busy(server_->port());
  ASSERT_TRUE(busy.Send("GET / HTTP/1.1\r\n"));  // a head in progress is not idle
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(Ask(Get("/")).status, 302);
  EXPECT_TRUE(oldest.ClosedByServer());
  EXPECT_EQ(busy.Request("Host: " + host_ + "\r\n\r\n").status, 302);
}

TEST_F(HttpServerTest, APortInUseIsReportedAndStopBeforeServeEndsServeAtOnce) {
  HttpServerOptions options;
  options.port = server_->port();
  EXPECT_EQ(HttpServer(&registry_, &sessions_, options).Bind().ToString(),
            "IO error: " + host_ +
                ": cannot listen there (the port is in use, or the address is not one of this "
                "machine's)");
  options.port = 0;
  HttpServer other(&registry_, &sessions_, options);
  ASSERT_TRUE(other.Bind().ok());
  other.Stop();
  EXPECT_TRUE(other.Serve().ok());
}

TEST(ParseListenAddressTest, SplitsHostAndPort) {
  std::string host;
  int port = -1;
  const std::pair<const char*, const char*> good[] = {{"127.0.0.1:8080", "127.0.0.1 8080"},
                                                      {"[::1]:9000", "::1 9000"},
                                                      {"0.0.0.0:65535", "0.0.0.0 65535"}};
  for (const auto& [text, expected] : good) {
    ASSERT_TRUE(ParseListenAddress(text, &host, &port)) << text;
    EXPECT_EQ(host + " " + std::to_string(port), expected);
  }
  for (const char* text : {"127.0.0.1", ":8080", "::1:8080", "host:65536", "host:80x", "[]:80"}) {
    EXPECT_FALSE(ParseListenAddress(text, &host, &port)) << text;
  }
}

}  // namespace
}  // namespace vorlintex::pagehost
