#include "pagehost/page_host.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "pagehost/access_check.h"
#include "pagehost/background_image.h"
#include "pagehost/test_pages.h"

namespace vorlintex::pagehost {
namespace {

using namespace std::chrono_literals;

constexpr char kFormType[] = "application/x-www-form-urlencoded";

class PageHostTest : public ::testing::Test {
 protected:
  PageHostTest() {
    registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::EchoPage>(); });
  }

  SessionStore& sessions() {
    if (!sessions_) {
      SessionStoreOptions options;
      options.now = [this] { return now_; };
      options.max_sessions = max_sessions_;
      sessions_ = std::make_unique<SessionStore>(std::move(options));
    }
    return *sessions_;
  }

  HostResponse Send(HostRequest request) {
    if (!request.host) request.host = "localhost:8080";
    PageHost host(&registry_, &sessions(), PageHostOptions{});
    return host.Handle(request);
  }

  static HostRequest Get(std::string_view path, std::string_view query = "") {
    HostRequest request;
    request.method = "GET";
    request.path = path;
    request.query = query;
    return request;
  }
  static HostRequest Post(std::string_view body, std::string_view query = "") {
    HostRequest request = Get("/morvane.asp", query);
    request.method = "POST";
    request.body = body;
    request.content_type = kFormType;
    request.origin = "http://localhost:8080";
    return request;
  }

  static std::string Header(const HostResponse& response, std::string_view name) {
    for (const auto& [header, value] : response.headers) {
      if (header == name) return value;
    }
    return "(none)";
  }
  // The session id a response's cookie carries.
  static std::string SessionId(const HostResponse& response) {
    std::string cookie = Header(response, "Set-Cookie");
    size_t start = cookie.find('=') + 1;
    return cookie.substr(start, cookie.find(';') - start);
  }

  automation::ClassRegistry registry_;
  std::unique_ptr<SessionStore> sessions_;
  SessionStoreOptions::Clock::time_point now_{};
  size_t max_sessions_ = 100;
};

TEST_F(PageHostTest, ServesTheComponentsBytesAsTheHostPage) {
  HostResponse response = Send(Get("/morvane.asp"));
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.content_type, "text/html; charset=iso-8859-1");
  EXPECT_EQ(response.body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
  EXPECT_EQ(Header(response, "Set-Cookie"), "(none)");  // nothing stored, no session
}

TEST_F(PageHostTest, QueryFieldsComeBeforeFormFieldsAndRepeatsJoin) {
  HostResponse response =
      Send(Post("PageNumber=2&sourcedir=c%3A%5Csrc&asplist=b.asp&asplist=A.ASP&asplist=c+d.asp",
                "PageNumber=1"));
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body,
            "PageNumber=[1]\nsourcedir=[c:\\src]\nasplist=3:[b.asp][A.ASP][c d.asp]\n"
            "session=[]\n");

  response = Send(Post("sourcedir=one&SourceDir=two&sourcedir=three"));
  EXPECT_EQ(response.body, "PageNumber=[]\nsourcedir=[one, two, three]\nasplist=0:\nsession=[]\n");
}

TEST_F(PageHostTest, FormCollectionHoldsOnlyPostedFields) {
  HostResponse response = Send(Get("/morvane.asp", "asplist=x.asp&sourcedir=q"));
  EXPECT_EQ(response.body, "PageNumber=[]\nsourcedir=[q]\nasplist=0:\nsession=[]\n");
}

TEST_F(PageHostTest, RefusesBadRequests) {
  struct Case {
    const char* name;
    HostRequest request;
    int status;
    const char* message;
  };
  std::string big(PageHostOptions{}.max_body + 1, 'a');
  HostRequest plain_text = Post("a=1");
  plain_text.content_type = "text/plain";
  HostRequest multipart = Post("");
  multipart.content_type = "multipart/form-data; boundary=x";
  HostRequest no_type = Post("a=1");
  no_type.content_type.reset();
  HostRequest with_charset = Post("PageNumber=1");
  with_charset.content_type = "Application/X-WWW-Form-Urlencoded; charset=windows-1252";
  HostRequest put = Post("a=1");
  put.method = "PUT";
  const Case cases[] = {
      {"bad form encoding", Post("sourcedir=%zz"), 400, "Bad form field: %zz: malformed"},
      {"bad query encoding", Get("/morvane.asp", "a=%4"), 400, "Bad query string: %4: malformed"},
      {"body too large", Post(big), 413, "at most 1048576 bytes"},
      {"text body", plain_text, 415, "application/x-www-form-urlencoded"},
      {"multipart body", multipart, 415, "application/x-www-form-urlencoded"},
      {"body without type", no_type, 415, "application/x-www-form-urlencoded"},
      {"form with charset", with_charset, 200, "PageNumber=[1]"},
      {"unknown page", Get("/other.asp"), 404, "There is no page at this address."},
      {"put", put, 405, "This address answers GET, HEAD, POST."},
  };
  for (const Case& c : cases) {
    HostResponse response = Send(c.request);
    EXPECT_EQ(response.status, c.status) << c.name;
    EXPECT_NE(response.body.find(c.message), std::string::npos) << c.name << ": " << response.body;
  }
}

TEST_F(PageHostTest, ErrorPagesEscapeWhatTheyQuote) {
  HostResponse response = ErrorPage(400, "a <b> & \"c\"");
  EXPECT_EQ(response.body,
            "<!DOCTYPE html>\r\n<html><head><title>400 Bad Request</title></head>\r\n"
            "<body><h1>400 Bad Request</h1>\r\n<p>a &lt;b&gt; &amp; &quot;c&quot;</p>\r\n"
            "</body></html>\r\n");
}

TEST_F(PageHostTest, RedirectsTheRootAndServesTheBackground) {
  HostResponse root = Send(Get("/"));
  EXPECT_EQ(root.status, 302);
  EXPECT_EQ(Header(root, "Location"), "/morvane.asp");

  HostResponse image = Send(Get("/morvanebg.gif"));
  EXPECT_EQ(image.status, 200);
  EXPECT_EQ(image.content_type, "image/gif");
  EXPECT_EQ(image.body, BackgroundGif());

  EXPECT_EQ(Send(Get("/MORVANE.ASP")).status, 200);
}

TEST_F(PageHostTest, SessionsStartOnFirstStoreAndStayApart) {
  HostResponse first = Send(Post("store=c%3A%5Cone"));
  std::string cookie = Header(first, "Set-Cookie");
  std::string first_id = SessionId(first);
  EXPECT_EQ(cookie, "vorlintex_session=" + first_id + "; Path=/; HttpOnly; SameSite=Strict");
  EXPECT_TRUE(SessionStore::LooksLikeId(first_id)) << first_id;

  HostResponse second = Send(Post("store=two"));
  std::string second_id = SessionId(second);
  ASSERT_NE(first_id, second_id);

  HostRequest again = Get("/morvane.asp");
  std::string first_cookie = "other=1; vorlintex_session=" + first_id;
  again.cookie = first_cookie;
  HostResponse response = Send(again);
  EXPECT_EQ(response.body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[c:\\one]\n");
  EXPECT_EQ(Header(response, "Set-Cookie"), "(none)");

  std::string second_cookie = "vorlintex_session=" + second_id;
  again.cookie = second_cookie;
  EXPECT_EQ(Send(again).body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[two]\n");

  again.cookie = std::string_view();
  EXPECT_EQ(Send(again).body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
}

TEST_F(PageHostTest, ASessionEndsAfterTwentyIdleMinutes) {
  std::string id = SessionId(Send(Post("store=kept")));
  std::string cookie = "vorlintex_session=" + id;
  HostRequest again = Get("/morvane.asp");
  again.cookie = cookie;
  now_ += 19min;
  EXPECT_EQ(Send(again).body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[kept]\n");
  now_ += 20min;
  EXPECT_EQ(Send(again).body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
}

TEST_F(PageHostTest, TheSessionStoreIsBounded) {
  max_sessions_ = 2;
  std::string oldest = SessionId(Send(Post("store=1")));
  Send(Post("store=2"));
  Send(Post("store=3"));
  EXPECT_EQ(sessions().size(), 2u);
  std::string cookie = "vorlintex_session=" + oldest;
  HostRequest again = Get("/morvane.asp");
  again.cookie = cookie;
  EXPECT_EQ(Send(again).body, "PageNumber=[]\nsourcedir=[]\nasplist=0:\nsession=[]\n");
}

TEST_F(PageHostTest, RefusesForeignHostsAndCrossOriginPosts) {
  struct Case {
    const char* host;
    std::optional<std::string_view> origin;
    std::optional<std::string_view> referer;
    int status;
  };
  const Case cases[] = {
      {"localhost:8080", "http://localhost:8080", std::nullopt, 200},
      {"127.0.0.1:8080", std::nullopt, "http://127.0.0.1:8080/morvane.asp", 200},
      {"rebound.example:8080", "http://rebound.example:8080", std::nullopt, 403},
      {"localhost:9999", "http://localhost:9999", std::nullopt, 403},
      {"localhost:8080", "http://evil.example", std::nullopt, 403},
      {"localhost:8080", std::nullopt, "http://evil.example/form.html", 403},
  };
  for (const Case& c : cases) {
    HostRequest request = Post("PageNumber=1");
    request.host = c.host;
    request.origin = c.origin;
    request.referer = c.referer;
    HostResponse response = Send(request);
    EXPECT_EQ(response.status, c.status) << c.host;
    if (c.status == 403) {
      EXPECT_EQ(Header(response, "Set-Cookie"), "(none)");
    }
  }
  HostRequest foreign_post = Post("PageNumber=1");
  foreign_post.fetch_site = "same-site";  // another port of localhost
  EXPECT_EQ(Send(foreign_post).status, 403);

  // A link or an image elsewhere cannot start a run through the query string.
  HostRequest foreign_query = Get("/morvane.asp", "PageNumber=2&targetdir=C:%5Cx&dllname=x");
  foreign_query.fetch_site = "cross-site";
  EXPECT_EQ(Send(foreign_query).status, 403);
  foreign_query.fetch_site.reset();
  foreign_query.referer = "http://evil.example/page.html";
  EXPECT_EQ(Send(foreign_query).status, 403);
  foreign_query.referer.reset();
  foreign_query.fetch_site = "none";  // typed by the user
  EXPECT_EQ(Send(foreign_query).status, 200);
  // A plain visit may come from a link anywhere.
  HostRequest linked = Get("/morvane.asp");
  linked.fetch_site = "cross-site";
  linked.referer = "http://docs.example/";
  EXPECT_EQ(Send(linked).status, 200);

  HostRequest rebound = Get("/morvanebg.gif");
  rebound.host = "rebound.example";
  EXPECT_EQ(Send(rebound).status, 403);
}

TEST_F(PageHostTest, OnlyTheServersOwnNamesAreServed) {
  PageHostOptions options;
  options.host_names = ServerHostNames("0.0.0.0", {"wizard.example"});
  PageHost host(&registry_, &sessions(), options);
  HostRequest request = Get("/morvane.asp");
  request.host = "wizard.example:8080";
  EXPECT_EQ(host.Handle(request).status, 200);
  request.host = "rebound.example:8080";
  EXPECT_EQ(host.Handle(request).status, 403);
  HostRequest post = Post("a=1");
  post.host = "wizard.example:8080";
  post.origin = "http://elsewhere.example";
  EXPECT_EQ(host.Handle(post).status, 403);
}

TEST_F(PageHostTest, OnlyABrowserGivenTheTokenGetsIn) {
  PageHostOptions options;
  options.token = "0123456789abcdef0123456789abcdef";
  options.access_key = "fedcba9876543210fedcba9876543210";
  PageHost host(&registry_, &sessions(), options);
  auto with = [](HostRequest request, std::optional<std::string_view> cookie) {
    request.host = "127.0.0.1:8080";
    if (request.origin) request.origin = "http://127.0.0.1:8080";
    request.cookie = cookie;
    return request;
  };
  // HostRequest holds views: the texts they view outlive the cases.
  constexpr std::string_view kAccess = "vorlintex_access=fedcba9876543210fedcba9876543210";
  const std::string among_others = "a=1; " + std::string(kAccess);
  const std::string token_query = "token=" + options.token;
  const std::string token_cookie = "vorlintex_access=" + options.token;

  HostResponse visit = host.Handle(with(Get("/", token_query), std::nullopt));
  EXPECT_EQ(visit.status, 302);
  EXPECT_EQ(Header(visit, "Location"), "/morvane.asp");
  EXPECT_EQ(Header(visit, "Set-Cookie"),
            std::string(kAccess) + "; Path=/; HttpOnly; SameSite=Strict");

  struct Case {
    const char* what;
    HostRequest request;
    int status;
  };
  const Case cases[] = {
      {"page with the cookie", with(Get("/morvane.asp"), kAccess), 200},
      {"cookie among others", with(Get("/morvane.asp"), among_others), 200},
      {"form with the cookie", with(Post("a=1"), kAccess), 200},
      {"page without it", with(Get("/morvane.asp"), std::nullopt), 403},
      {"form without it", with(Post("a=1"), std::nullopt), 403},
      {"image without it", with(Get("/morvanebg.gif"), std::nullopt), 403},
      {"forged cookie", with(Get("/morvane.asp"), "vorlintex_access=0"), 403},
      {"token as cookie", with(Get("/morvane.asp"), token_cookie), 403},
      {"wrong token", with(Get("/", "token=0123456789abcdef0123456789abcdee"), std::nullopt), 403},
      {"empty token", with(Get("/", "token="), std::nullopt), 403},
      {"token on the page", with(Get("/morvane.asp", token_query), std::nullopt), 403},
  };
  for (const Case& c : cases) {
    HostResponse response = host.Handle(c.request);
    EXPECT_EQ(response.status, c.status) << c.what;
    EXPECT_EQ(Header(response, "Set-Cookie").starts_with("vorlintex_access"), false) << c.what;
    if (response.status == 403) {
      EXPECT_NE(response.body.find("open the address that vorlintex serve printed"),
                std::string::npos)
          << c.what;
    }
  }
}

TEST_F(PageHostTest, AFieldLongerThanAnyPathIsRefused) {
  const std::string at_limit = "sourcedir=" + std::string(4096, 'a');
  const std::string over = "sourcedir=" + std::string(4097, 'a');
  const std::string long_name = std::string(4097, 'n') + "=1";
  struct Case {
    const char* what;
    HostRequest request;
    int status;
  };
  const Case cases[] = {
      {"posted, at the limit", Post(at_limit), 200},
      {"posted, over it", Post(over), 400},
      {"in the query", Get("/morvane.asp", over), 400},
      {"a long name", Post(long_name), 400},
  };
  for (const Case& c : cases) {
    HostResponse response = Send(c.request);
    EXPECT_EQ(response.status, c.status) << c.what;
  }
}

TEST_F(PageHostTest, AComponentErrorGives500AndTheNextRequestIsServed) {
  registry_.Register("tvorlintex.morvane", [] { return std::make_unique<testing::FailingPage>(); });
  HostResponse failed = Send(Get("/morvane.asp", "fail=1"));
  EXPECT_EQ(failed.status, 500);
  EXPECT_EQ(failed.body,
            "<!DOCTYPE html>\r\n<html><head><title>500 Internal Server Error</title></head>\r\n"
            "<body><h1>500 Internal Server Error</h1>\r\n<p>The page stopped with an error: "
            "C:\\a&lt;b&gt;&amp;c: Permission &quot;denied&quot;</p>\r\n</body></html>\r\n");
  HostResponse next = Send(Get("/morvane.asp"));
  EXPECT_EQ(next.status, 200);
  EXPECT_EQ(next.body, "partial page\ndone\n");
}

TEST_F(PageHostTest, AMissingClassIsA500NamingTheProgId) {
  automation::ClassRegistry empty;
  PageHost host(&empty, &sessions(), PageHostOptions{});
  HostRequest request = Get("/morvane.asp");
  request.host = "localhost";
  HostResponse response = host.Handle(request);
  EXPECT_EQ(response.status, 500);
  EXPECT_NE(response.body.find("tvorlintex.morvane"), std::string::npos) << response.body;
}

TEST(CookieValueTest, FindsTheNamedCookie) {
  EXPECT_EQ(CookieValue("a=1; vorlintex_session=abc; b=2", "vorlintex_session"), "abc");
  EXPECT_EQ(CookieValue("vorlintex_session=abc", "vorlintex_session"), "abc");
  EXPECT_EQ(CookieValue("xvorlintex_session=abc", "vorlintex_session"), "");
  EXPECT_EQ(CookieValue("a=1;b", "b"), "");
  EXPECT_EQ(CookieValue("", "vorlintex_session"), "");
}

}  // namespace
}  // namespace vorlintex::pagehost
