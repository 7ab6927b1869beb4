// The page host on HTTP: cpp-httplib's server with a thread pool, keep-alive, a body limit,
// an access log, and every request handed to PageHost.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

#include "component/automation.h"
#include "component/status.h"
#include "pagehost/page_host.h"
#include "pagehost/session_store.h"

namespace httplib {
class Server;
}

namespace vorlintex::pagehost {

struct HttpServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  // A keep-alive connection holds its thread while it lasts, so the pool is sized for many
  // open connections rather than for the processor count.
  size_t threads = 128;
  size_t max_body = 1 << 20;
  // One line per request (method, path, status, bytes, milliseconds); null for none.
  std::ostream* access_log = nullptr;
};

class HttpServer {
 public:
  HttpServer(const automation::ClassRegistry* registry, SessionStore* sessions,
             HttpServerOptions options);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Opens the listening socket. After it, port() is the bound port.
  Status Bind();
  int port() const { return port_; }
  // Serves until Stop() is called (from any thread, also before Serve has begun).
  Status Serve();
  void Stop();

 private:
  void Install();

  const automation::ClassRegistry* registry_;
  SessionStore* sessions_;
  HttpServerOptions options_;
  int port_ = 0;
  int listen_socket_ = -1;
  std::atomic<bool> stopping_ = false;
  std::atomic<bool> serve_entered_ = false;
  std::atomic<bool> serve_done_ = false;
  std::unique_ptr<PageHost> page_host_;
  std::unique_ptr<httplib::Server> server_;
};

// Splits "HOST:PORT" ("[::1]:8080" for IPv6) into its parts; false when it has not that form.
bool ParseListenAddress(const std::string& text, std::string* host, int* port);

}  // namespace vorlintex::pagehost
