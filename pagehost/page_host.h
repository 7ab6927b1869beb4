// The page host without the HTTP transport: routes one request to the host page, the
// background image or a redirect; refuses requests from elsewhere; maps the query string, the
// posted form and the session cookie to the host objects; and runs the wizard's page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contract/automation.h"
#include "pagehost/session_store.h"

namespace vorlintex::pagehost {

inline constexpr std::string_view kSessionCookie = "vorlintex_session";
// Given for the server's token; every request must carry it. Apart from the session cookie, so
// that a session that ends (idle, or pushed out of a full store) does not lock the user out.
inline constexpr std::string_view kAccessCookie = "vorlintex_access";
inline constexpr std::string_view kPageContentType = "text/html; charset=iso-8859-1";

struct HostRequest {
  std::string_view method;
  std::string_view path;   // without the query string
  std::string_view query;  // after "?", still encoded
  std::string_view body;
  std::optional<std::string_view> content_type;
  std::optional<std::string_view> host;
  std::optional<std::string_view> origin;
  std::optional<std::string_view> referer;
  std::optional<std::string_view> cookie;
  std::optional<std::string_view> fetch_site;  // Sec-Fetch-Site
};

struct HostResponse {
  int status = 200;
  std::string content_type;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

struct PageHostOptions {
  // The port the server is bound to.
  int port = 8080;
  // The names a Host header may give (ServerHostNames); any other is refused.
  std::vector<std::string> host_names = {"localhost", "127.0.0.1", "[::1]"};
  // The token of the address `serve` prints: a visit to "/?token=TOKEN" gets the access cookie
  // holding `access_key`, and a request without that cookie is refused. Empty: no token, every
  // request that passes the other checks is served.
  std::string token;
  std::string access_key;
  size_t max_body = 1 << 20;
  // The longest name or value of a field: no path or file name is longer (PATH_MAX), so a
  // longer one can only make the session and the page that shows it grow.
  size_t max_field = 4096;
};

class PageHost {
 public:
  PageHost(const automation::ClassRegistry* registry, SessionStore* sessions,
           PageHostOptions options)
      : registry_(registry), sessions_(sessions), options_(options) {}

  // The refusal (403) of a request that must not be served, judged on its headers alone, so a
  // server can refuse before reading the body.
  std::optional<HostResponse> Refusal(const HostRequest& request) const;

  // The whole response to one request. Safe to call from many threads at once.
  HostResponse Handle(const HostRequest& request) const;

  const PageHostOptions& options() const { return options_; }

 private:
  HostResponse HandlePage(const HostRequest& request) const;
  // Whether the request is a visit to the printed address with the right token.
  bool IsTokenVisit(const HostRequest& request) const;

  const automation::ClassRegistry* registry_;
  SessionStore* sessions_;
  PageHostOptions options_;
};

// A short HTML page for an error status; `detail` is escaped.
HostResponse ErrorPage(int status, std::string_view detail);

// The value of the cookie `name` in a Cookie header; empty when it is absent.
std::string_view CookieValue(std::string_view cookie_header, std::string_view name);

}  // namespace vorlintex::pagehost
