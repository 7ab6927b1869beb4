#include "pagehost/http_server.h"

#include <algorithm>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "pagehost/access_check.h"
#include "pagehost/access_log.h"
#include "pagehost/http_connection.h"
#include "pagehost/page_workers.h"
#include "platform/large_blocks.h"
#include "platform/open_file_limit.h"

namespace vorlintex::pagehost {
namespace {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::beast::error_code;
using Clock = std::chrono::steady_clock;

// Descriptors kept free of connections: the event queue, files a generation run opens.
constexpr size_t kSpareDescriptors = 64;
constexpr auto kSweepInterval = std::chrono::milliseconds(100);
// The pages' work frees most of what it takes, but in many threads' heaps, where the allocator
// keeps it; given back every second, the server's memory follows its load down within seconds.
constexpr int kSweepsPerTrim = 10;
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

size_t ConnectionCap(size_t wanted) {
  size_t descriptors = RaiseOpenFileLimit();
  size_t room =
      descriptors > 2 * kSpareDescriptors ? descriptors - kSpareDescriptors : kSpareDescriptors;
  return std::max<size_t>(1, std::min(wanted, room));
}

// Takes connections up to the cap, and sweeps them for their deadlines.
class Listener {
 public:
  Listener(ConnectionShared* shared, tcp::acceptor* acceptor, size_t max_connections)
      : shared_(*shared),
        acceptor_(*acceptor),
        max_connections_(max_connections),
        sweep_(shared->io),
        accept_pause_(shared->io) {}

  void Start() {
    Accept();
    Sweep();
  }

 private:
  void Accept() {
    acceptor_.async_accept(
        [this](error_code error, tcp::socket socket) { OnAccept(error, std::move(socket)); });
  }

  void OnAccept(error_code error, tcp::socket socket) {
    if (error == asio::error::operation_aborted) return;
    if (error == asio::error::no_descriptors || error == asio::error::no_buffer_space ||
        error == asio::error::no_memory) {
      // Make room, and stop taking connections for a moment rather than being woken for the
      // waiting one again and again.
      CloseLongestIdle();
      accept_pause_.expires_after(kAcceptPause);
      accept_pause_.async_wait([this](error_code waited) {
        if (!waited) Accept();
      });
      return;
    }
    if (!error) {
      if (shared_.open.size() >= max_connections_ && !CloseLongestIdle()) {
        socket.close(error);
      } else {
        // Answers are written whole, and a keep-alive client waits for each.
        socket.set_option(tcp::no_delay(true), error);
        std::make_shared<HttpConnection>(&shared_, std::move(socket))->Start();
      }
    }
    Accept();
  }

  // Closes the connection that has waited longest for its next request; false when none waits.
  bool CloseLongestIdle() {
    HttpConnection* oldest = nullptr;
    for (HttpConnection* connection : shared_.open) {
      if (connection->Closable() &&
          (oldest == nullptr || connection->deadline() < oldest->deadline())) {
        oldest = connection;
      }
    }
    if (oldest == nullptr) return false;
    oldest->Close();
    return true;
  }

  void Sweep() {
    sweep_.expires_after(kSweepInterval);
    sweep_.async_wait([this](error_code error) {
      if (error) return;
      const Clock::time_point now = Clock::now();
      for (HttpConnection* connection : shared_.open) connection->Sweep(now);
      // Workers wait for room for their answers: make it.
      if (shared_.answers.Wanted()) HttpConnection::DropSlowestReaders(shared_, nullptr);
      if (++sweeps_ % kSweepsPerTrim == 0) ReturnFreeMemoryToTheSystem();
      Sweep();
    });
  }

  ConnectionShared& shared_;
  tcp::acceptor& acceptor_;
  int sweeps_ = 0;
  size_t max_connections_;
  asio::steady_timer sweep_;
  asio::steady_timer accept_pause_;
};

}  // namespace

struct HttpServer::Network {
  asio::io_context io{1};  // run by one thread
  tcp::acceptor acceptor{io};
};

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
    : registry_(registry),
      sessions_(sessions),
      options_(std::move(options)),
      network_(std::make_unique<Network>()) {}

HttpServer::~HttpServer() = default;

Status HttpServer::Bind() {
  const std::string where = options_.host + ":" + std::to_string(options_.port);
  std::lock_guard lock(network_mutex_);
  if (!network_) return Status::Error(where, "this server has served already");
  tcp::acceptor& acceptor = network_->acceptor;
  if (!acceptor.is_open()) {
    error_code error;
    tcp::resolver resolver(network_->io);
    auto endpoints =
        resolver.resolve(options_.host, std::to_string(options_.port),
                         tcp::resolver::passive | tcp::resolver::numeric_service, error);
    for (const auto& entry : endpoints) {
      error_code failed;
      acceptor.open(entry.endpoint().protocol(), failed);
      // A restarted server may bind while connections of its last run linger in TIME_WAIT; no
      // port sharing, so a port in use is reported rather than silently split.
      if (!failed) acceptor.set_option(tcp::acceptor::reuse_address(true), failed);
      if (!failed) acceptor.bind(entry.endpoint(), failed);
      if (!failed) acceptor.listen(asio::socket_base::max_listen_connections, failed);
      if (!failed) break;
      acceptor.close(failed);
    }
  }
  if (!acceptor.is_open()) {
    return Status::Error(where,
                         "cannot listen there (the port is in use, or the address is "
                         "not one of this machine's)");
  }
  port_ = acceptor.local_endpoint().port();
  PageHostOptions host_options;
  host_options.port = port_;
  host_options.host_names = ServerHostNames(options_.host, options_.extra_host_names);
  host_options.token = options_.token;
  host_options.access_key = options_.access_key;
  host_options.max_body = options_.max_body;
  page_host_ = std::make_unique<PageHost>(registry_, sessions_, host_options);
  return Status::OK();
}

Status HttpServer::Serve() {
  asio::io_context* io;
  tcp::acceptor* acceptor;
  {
    std::lock_guard lock(network_mutex_);
    if (!network_ || !network_->acceptor.is_open() || !page_host_) {
      return Status::Error("server", "not bound");
    }
    io = &network_->io;
    acceptor = &network_->acceptor;
  }
  if (stopping_) return Status::OK();
  AccessLog log(options_.access_log);
  PageWorkers workers(options_.threads);
  HttpLimits limits;
  limits.max_body = options_.max_body;
  limits.max_unsent = options_.max_unsent;
  limits.max_receiving = options_.max_receiving;
  AnswerBudget answers(limits.max_unsent);
  BodyBudget bodies(limits.max_receiving);
  ConnectionShared shared{*io,     *page_host_,
                          log,     workers,
                          answers, bodies,
                          limits,  options_.timeouts,
                          {},      std::vector<char>(64 * 1024)};
  {
    Listener listener(&shared, acceptor, ConnectionCap(options_.max_connections));
    listener.Start();
    io->run();        // until Stop
    answers.Close();  // no worker waits for room that no one will make
    // Every request in hand is answered and logged; the answers are not sent.
    workers.Finish();
  }
  // Destroys the handlers still waiting, and with them the connections they hold.
  std::lock_guard lock(network_mutex_);
  network_.reset();
  return Status::OK();
}

void HttpServer::Stop() {
  stopping_ = true;
  std::lock_guard lock(network_mutex_);
  if (network_) network_->io.stop();
}

}  // namespace vorlintex::pagehost
