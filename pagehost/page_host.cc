#include "pagehost/page_host.h"

#include <memory>

#include "contract/ascii.h"
#include "html/escape.h"
#include "pagehost/access_check.h"
#include "pagehost/background_image.h"
#include "pagehost/form_body.h"
#include "pagehost/http_response.h"
#include "pagehost/page_objects.h"
#include "pagehost/page_run.h"

namespace vorlintex::pagehost {
namespace {

constexpr std::string_view kHostPagePath = "/morvane.asp";
constexpr std::string_view kBackgroundPath = "/morvanebg.gif";
constexpr std::string_view kFormType = "application/x-www-form-urlencoded";
constexpr std::string_view kTokenField = "token=";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The media type of a Content-Type header, without its parameters.
std::string_view MediaType(std::string_view content_type) {
  return Trim(content_type.substr(0, content_type.find(';')));
}

bool IsGetOrHead(std::string_view method) { return method == "GET" || method == "HEAD"; }

HostResponse MethodNotAllowed(std::string_view allowed) {
  HostResponse response = ErrorPage(405, "This address answers " + std::string(allowed) + ".");
  response.headers.emplace_back("Allow", std::string(allowed));
  return response;
}

// The first field whose name or value is longer than `limit`; null when none is.
const std::pair<std::string, std::string>* OverlongField(const FormFields& fields, size_t limit) {
  for (const auto& field : fields) {
    if (field.first.size() > limit || field.second.size() > limit) return &field;
  }
  return nullptr;
}

}  // namespace

HostResponse ErrorPage(int status, std::string_view detail) {
  std::string title = std::to_string(status) + " " + std::string(StatusReason(status));
  HostResponse response;
  response.status = status;
  response.content_type = kPageContentType;
  response.body = "<!DOCTYPE html>\r\n<html><head><title>" + title +
                  "</title></head>\r\n<body><h1>" + title + "</h1>\r\n<p>" +
                  html::HtmlEscape(detail) + "</p>\r\n</body></html>\r\n";
  return response;
}

std::string_view CookieValue(std::string_view cookie_header, std::string_view name) {
  size_t start = 0;
  while (start < cookie_header.size()) {
    size_t end = cookie_header.find(';', start);
    if (end == std::string_view::npos) end = cookie_header.size();
    std::string_view pair = Trim(cookie_header.substr(start, end - start));
    start = end + 1;
    size_t equals = pair.find('=');
    if (equals != std::string_view::npos && Trim(pair.substr(0, equals)) == name) {
      return Trim(pair.substr(equals + 1));
    }
  }
  return std::string_view();
}

bool PageHost::IsTokenVisit(const HostRequest& request) const {
  return !options_.token.empty() && request.path == "/" && IsGetOrHead(request.method) &&
         request.query.starts_with(kTokenField) &&
         SecretsEqual(request.query.substr(kTokenField.size()), options_.token);
}

std::optional<HostResponse> PageHost::Refusal(const HostRequest& request) const {
  if (!request.host || !IsServerHostHeader(*request.host, options_.port, options_.host_names)) {
    std::string names;
    for (const std::string& name : options_.host_names) {
      names += (names.empty() ? "" : ", ") + name;
    }
    return ErrorPage(403, "This server answers only requests addressed to " + names + " on port " +
                              std::to_string(options_.port) + ".");
  }
  if (!options_.token.empty() && !IsTokenVisit(request) &&
      !(request.cookie &&
        SecretsEqual(CookieValue(*request.cookie, kAccessCookie), options_.access_key))) {
    return ErrorPage(403,
                     "To use the wizard, open the address that vorlintex serve printed when it "
                     "started (it ends in ?token=...).");
  }
  // Fields decide what the wizard does (a query string too: a link or an image elsewhere
  // could otherwise start a generation run); only a plain visit may come from another site.
  bool carries_fields = !IsGetOrHead(request.method) || !request.query.empty();
  if (carries_fields &&
      (IsForeignFetch(request.fetch_site) ||
       !IsSameOriginPost(request.host.value_or(""), request.origin, request.referer))) {
    return ErrorPage(403, "Fields may be sent here only from a page of this server.");
  }
  return std::nullopt;
}

HostResponse PageHost::Handle(const HostRequest& request) const {
  if (std::optional<HostResponse> refusal = Refusal(request)) return std::move(*refusal);
  // Page names answer in any letter case, as on the server the wizard was made for.
  if (AsciiEqualIgnoringCase(request.path, kHostPagePath)) {
    if (!IsGetOrHead(request.method) && request.method != "POST") {
      return MethodNotAllowed("GET, HEAD, POST");
    }
    return HandlePage(request);
  }
  if (AsciiEqualIgnoringCase(request.path, kBackgroundPath)) {
    if (!IsGetOrHead(request.method)) return MethodNotAllowed("GET, HEAD");
    HostResponse response;
    response.content_type = kBackgroundContentType;
    response.body = BackgroundGif();
    response.headers.emplace_back("Cache-Control", "max-age=86400");
    return response;
  }
  if (request.path == "/") {
    if (!IsGetOrHead(request.method)) return MethodNotAllowed("GET, HEAD");
    HostResponse response;
    response.status = 302;
    response.content_type = kPageContentType;
    response.headers.emplace_back("Location", std::string(kHostPagePath));
    if (IsTokenVisit(request)) {
      response.headers.emplace_back("Set-Cookie", std::string(kAccessCookie) + "=" +
                                                      options_.access_key +
                                                      "; Path=/; HttpOnly; SameSite=Strict");
      // The token stays out of the history and other sites' Referer.
      response.headers.emplace_back("Cache-Control", "no-store");
      response.headers.emplace_back("Referrer-Policy", "no-referrer");
    }
    return response;
  }
  return ErrorPage(404, "There is no page at this address. The wizard is at " +
                            std::string(kHostPagePath) + ".");
}

HostResponse PageHost::HandlePage(const HostRequest& request) const {
  if (request.body.size() > options_.max_body) {
    return ErrorPage(
        413, "A request body may hold at most " + std::to_string(options_.max_body) + " bytes.");
  }
  FormFields query;
  Status status = ParseFormBody(request.query, &query);
  if (!status.ok()) return ErrorPage(400, "Bad query string: " + status.Message() + ".");
  FormFields form;
  if (request.method == "POST") {
    std::string_view type = MediaType(request.content_type.value_or(""));
    if (!AsciiEqualIgnoringCase(type, kFormType) && !(type.empty() && request.body.empty())) {
      return ErrorPage(415, "A form must be posted as " + std::string(kFormType) + ".");
    }
    status = ParseFormBody(request.body, &form);
    if (!status.ok()) return ErrorPage(400, "Bad form field: " + status.Message() + ".");
  }
  for (const FormFields* fields : {&query, &form}) {
    if (const auto* overlong = OverlongField(*fields, options_.max_field)) {
      return ErrorPage(400, "The field " + overlong->first.substr(0, 64) + " holds more than " +
                                std::to_string(options_.max_field) +
                                " bytes; no folder or file name is that long.");
    }
  }

  std::shared_ptr<SessionValues> existing;
  if (request.cookie) existing = sessions_->Find(CookieValue(*request.cookie, kSessionCookie));
  auto session = std::make_shared<PageSession>(sessions_, std::move(existing));
  auto response_body = std::make_shared<PageResponse>();
  auto context = std::make_shared<PageContext>(
      std::make_shared<PageRequest>(std::move(query), std::move(form)), session, response_body);
  status = RunHostPage(*registry_, std::move(context));

  HostResponse response;
  if (!status.ok()) {
    response = ErrorPage(500, "The page stopped with an error: " + status.Message());
  } else {
    response.content_type = kPageContentType;
    response.body = response_body->PageBody();
  }
  // A session started before the error still holds what the page stored.
  if (!session->started_id().empty()) {
    response.headers.emplace_back("Set-Cookie", std::string(kSessionCookie) + "=" +
                                                    session->started_id() +
                                                    "; Path=/; HttpOnly; SameSite=Strict");
  }
  response.headers.emplace_back("Cache-Control", "no-store");
  response.headers.emplace_back("X-Frame-Options", "DENY");
  response.headers.emplace_back("X-Content-Type-Options", "nosniff");
  return response;
}

}  // namespace vorlintex::pagehost
