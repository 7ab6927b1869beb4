#include "pagehost/http_server.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

#include "pagehost/access_check.h"
#include "platform/listen_socket.h"

namespace vorlintex::pagehost {
namespace {

using Clock = std::chrono::steady_clock;

// Each connection is served by one pool thread from its first request to its last, so the
// start of the request in hand can be kept per thread between routing and the access log.
thread_local std::optional<Clock::time_point> request_start;

std::optional<std::string_view> Header(const httplib::Request& request, const char* name) {
  auto found = request.headers.find(name);
  if (found == request.headers.end()) return std::nullopt;
  return std::string_view(found->second);
}

std::string_view QueryOf(const httplib::Request& request) {
  std::string_view target = request.target;
  size_t question = target.find('?');
  return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

HostRequest ToHostRequest(const httplib::Request& request) {
  HostRequest host_request;
  host_request.method = request.method;
  host_request.path = request.path;
  host_request.query = QueryOf(request);
  host_request.body = request.body;
  host_request.content_type = Header(request, "Content-Type");
  host_request.host = Header(request, "Host");
  host_request.origin = Header(request, "Origin");
  host_request.referer = Header(request, "Referer");
  host_request.cookie = Header(request, "Cookie");
  host_request.fetch_site = Header(request, "Sec-Fetch-Site");
  return host_request;
}

void Fill(HostResponse&& from, httplib::Response* to) {
  to->status = from.status;
  for (auto& [name, value] : from.headers) to->set_header(name, value);
  if (!from.body.empty() || !from.content_type.empty()) {
    to->set_content(std::move(from.body), from.content_type.c_str());
  }
}

// A method or path as a log can show it: control bytes, quotes and backslashes as \xNN.
std::string Loggable(std::string_view path) {
  if (path.empty()) return "-";  // a request the library could not parse
  std::string out;
  out.reserve(path.size());
  for (unsigned char c : path) {
    if (c < 0x20 || c == 0x7f || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out.append(escaped);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::mutex log_mutex;

}  // namespace

bool ParseListenAddress(const std::string& text, std::string* host, int* port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string name = text.substr(0, colon);
  std::string digits = text.substr(colon + 1);
  if (name.front() == '[') {
    if (name.size() < 3 || name.back() != ']') return false;
    name = name.substr(1, name.size() - 2);
  } else if (name.find(':') != std::string::npos) {
    return false;  // an IPv6 address needs its brackets
  }
  if (digits.empty() || digits.size() > 5) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  int value = std::stoi(digits);
  if (value > 65535) return false;
  *host = name;
  *port = value;
  return true;
}

HttpServer::HttpServer(const automation::ClassRegistry* registry, SessionStore* sessions,
                       HttpServerOptions options)
    : registry_(registry), sessions_(sessions), options_(std::move(options)) {}

HttpServer::~HttpServer() = default;

Status HttpServer::Bind() {
  server_ = std::make_unique<httplib::Server>();
  // Socket options apply to the listening socket, so they go in before binding; the handlers
  // reach the page host only when requests come, after it is made below.
  Install();
  std::string where = options_.host + ":" + std::to_string(options_.port);
  if (options_.port == 0) {
    port_ = server_->bind_to_any_port(options_.host);
    if (port_ < 0) port_ = 0;
  } else if (server_->bind_to_port(options_.host, options_.port)) {
    port_ = options_.port;
  }
  // The library listens with a short queue; a burst of new connections must not be dropped.
  if (port_ != 0) WidenListenQueue(listen_socket_);
  if (port_ == 0) {
    return Status::Error(where,
                         "cannot listen there (the port is in use, or the address is "
                         "not one of this machine's)");
  }
  PageHostOptions host_options;
  host_options.port = port_;
  host_options.loopback_only = IsLoopbackAddress(options_.host);
  host_options.max_body = options_.max_body;
  page_host_ = std::make_unique<PageHost>(registry_, sessions_, host_options);
  return Status::OK();
}

void HttpServer::Install() {
  size_t threads = options_.threads == 0 ? 1 : options_.threads;
  server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server_->set_payload_max_length(options_.max_body);
  // Clients that reconnect all at once after a connection's last request would overflow the
  // accept queue; a connection lives until its client or the keep-alive timeout ends it.
  server_->set_keep_alive_max_count(1 << 30);
  server_->set_keep_alive_timeout(5);
  server_->set_tcp_nodelay(true);
  server_->set_socket_options([this](socket_t socket) {
    SetListenSocketOptions(socket);
    listen_socket_ = socket;
  });

  // Refused requests are answered before their body is read.
  server_->set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        request_start = Clock::now();
        std::optional<HostResponse> refusal = page_host_->Refusal(ToHostRequest(request));
        if (!refusal) return httplib::Server::HandlerResponse::Unhandled;
        Fill(std::move(*refusal), &response);
        return httplib::Server::HandlerResponse::Handled;
      });
  auto handle = [this](const httplib::Request& request, httplib::Response& response) {
    Fill(page_host_->Handle(ToHostRequest(request)), &response);
  };
  // Bodies are read here, not by the library, whose own limit on form bodies is a few
  // kilobytes: a selection of many pages is a long form.
  auto handle_with_body = [this](const httplib::Request& request, httplib::Response& response,
                                 const httplib::ContentReader& content) {
    std::string body;
    bool too_large = false;
    bool complete = content([&](const char* data, size_t length) {
      if (length > options_.max_body - body.size()) {
        too_large = true;
        return false;
      }
      body.append(data, length);
      return true;
    });
    HostRequest host_request = ToHostRequest(request);
    // The library stops reading a body whose declared length is over the limit (413).
    if (too_large || (!complete && response.status == 413)) {
      // Past the limit: answer without reading the rest, and close the connection.
      HostResponse page = ErrorPage(
          413, "A request body may hold at most " + std::to_string(options_.max_body) + " bytes.");
      response.set_header("Connection", "close");
      Fill(std::move(page), &response);
      return;
    }
    if (!complete) {
      Fill(ErrorPage(400, "The request body could not be read."), &response);
      return;
    }
    host_request.body = body;
    Fill(page_host_->Handle(host_request), &response);
  };
  server_->Get(".*", handle);
  server_->Post(".*", handle_with_body);
  server_->Put(".*", handle_with_body);
  server_->Patch(".*", handle_with_body);
  server_->Delete(".*", handle);
  server_->Options(".*", handle);
  // Errors the library answers itself (a malformed request, a body over the limit) get a
  // short page too.
  server_->set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        std::string detail = response.status == 413
                                 ? "The request body is larger than this server accepts."
                                 : "The request could not be served.";
        HostResponse page = ErrorPage(response.status, detail);
        response.set_content(std::move(page.body), page.content_type.c_str());
        return httplib::Server::HandlerResponse::Handled;
      }));
  if (options_.access_log != nullptr) {
    std::ostream* log = options_.access_log;
    server_->set_logger([log](const httplib::Request& request, const httplib::Response& response) {
      std::string elapsed = "-";
      if (request_start) {
        double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - *request_start).count();
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", ms);
        elapsed = text;
        request_start.reset();
      }
      std::string line = Loggable(request.method) + " " + Loggable(request.path) + " " +
                         std::to_string(response.status) + " " +
                         std::to_string(response.body.size()) + " " + elapsed + "ms\n";
      std::lock_guard lock(log_mutex);
      log->write(line.data(), static_cast<std::streamsize>(line.size()));
      log->flush();
    });
  }
}

Status HttpServer::Serve() {
  if (!server_) return Status::Error("server", "not bound");
  serve_entered_ = true;
  Status status;
  if (!stopping_ && !server_->listen_after_bind() && !stopping_) {
    status = Status::Error(options_.host + ":" + std::to_string(port_), "the server stopped");
  }
  serve_done_ = true;
  return status;
}

void HttpServer::Stop() {
  stopping_ = true;
  if (!server_) return;
  // The library's stop() only acts on a server already listening: when Serve has begun but
  // not yet reached its accept loop, wait for it to get there (or to end).
  while (serve_entered_ && !serve_done_ && !server_->is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (server_->is_running()) server_->stop();
}

}  // namespace vorlintex::pagehost
