// The page host on HTTP/1.1, on Boost.Beast and Boost.Asio: one thread reads and writes every
// connection (with deadlines and bounded buffers), a fixed pool of worker threads runs PageHost
// on whole requests, keep-alive and pipelining, a body limit, and an access log.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "contract/automation.h"
#include "contract/status.h"
#include "pagehost/http_limits.h"
#include "pagehost/page_host.h"
#include "pagehost/session_store.h"

namespace vorlintex::pagehost {

struct HttpServerOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  // Worker threads running pages: how many requests are answered at once. Connections do not
  // hold a thread (one thread serves all of them), so this need not grow with the clients; a
  // generation run takes a worker for its whole length.
  size_t threads = 16;
  size_t max_body = 1 << 20;
  // See HttpLimits::max_unsent.
  size_t max_unsent = 64 << 20;
  // See HttpLimits::max_receiving.
  size_t max_receiving = 64 << 20;
  // Open connections at most (lowered to what the process may open); beyond it the longest
  // idle keep-alive connection is closed, or the new one when none is idle.
  size_t max_connections = 10'000;
  HttpTimeouts timeouts;
  // Host header names served besides the address and, on loopback or a wildcard address, the
  // loopback names: the machine's own names, the user's --allow-host.
  std::vector<std::string> extra_host_names;
  // See PageHostOptions: empty `token`, no token needed.
  std::string token;
  std::string access_key;
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
  // Serves until Stop() is called (from any thread, also before Serve has begun). Returns once
  // every request in hand has been answered and logged.
  Status Serve();
  void Stop();

 private:
  // The I/O context and the listening socket; gone once Serve has returned.
  struct Network;

  const automation::ClassRegistry* registry_;
  SessionStore* sessions_;
  HttpServerOptions options_;
  int port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::mutex network_mutex_;
  std::unique_ptr<Network> network_;
  std::unique_ptr<PageHost> page_host_;
};

// Splits "HOST:PORT" ("[::1]:8080" for IPv6) into its parts; false when it has not that form.
bool ParseListenAddress(const std::string& text, std::string* host, int* port);

}  // namespace vorlintex::pagehost
