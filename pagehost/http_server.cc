#include "pagehost/http_server.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "pagehost/access_check.h"
#include "platform/listen_socket.h"
#include "platform/socket_event_loop.h"
#include "platform/stream_socket.h"

namespace vorlintex::pagehost {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kListenKey = 0;
constexpr size_t kReadChunk = 64 * 1024;
// Descriptors kept free of connections: the event queue, files a generation run opens.
constexpr size_t kSpareDescriptors = 64;
constexpr auto kSweepInterval = std::chrono::milliseconds(100);
constexpr auto kAcceptPause = std::chrono::milliseconds(100);
// A connection closed after an answer is read (and what comes discarded) this long more: closed
// with unread bytes, the system would reset it, and the client could lose the answer (a 413 to
// a body it is still sending).
constexpr auto kLingering = std::chrono::seconds(2);

HostRequest ToHostRequest(const HttpRequestHead& head, std::string_view body) {
  HostRequest request;
  request.method = head.method;
  request.path = head.path;
  request.query = head.query;
  request.body = body;
  request.content_type = head.content_type;
  request.host = head.host;
  request.origin = head.origin;
  request.referer = head.referer;
  request.cookie = head.cookie;
  request.fetch_site = head.fetch_site;
  return request;
}

// A method or path as a log can show it: control bytes, quotes and backslashes as \xNN.
std::string Loggable(std::string_view path) {
  if (path.empty()) return "-";  // a request that could not be parsed
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

class AccessLog {
 public:
  explicit AccessLog(std::ostream* out) : out_(out) {}
  // `started` is when the request's head was whole; none for a request that failed before.
  void Write(const HttpRequestHead& head, const HostResponse& response,
             std::optional<Clock::time_point> started) {
    if (out_ == nullptr) return;
    std::string elapsed = "-";
    if (started) {
      double ms = std::chrono::duration<double, std::milli>(Clock::now() - *started).count();
      char text[32];
      std::snprintf(text, sizeof text, "%.3f", ms);
      elapsed = text;
    }
    std::string line = Loggable(head.method) + " " + Loggable(head.path) + " " +
                       std::to_string(response.status) + " " +
                       std::to_string(response.body.size()) + " " + elapsed + "ms\n";
    std::lock_guard lock(mutex_);
    out_->write(line.data(), static_cast<std::streamsize>(line.size()));
    out_->flush();
  }

 private:
  std::ostream* out_;
  std::mutex mutex_;
};

}  // namespace

// One Serve: the I/O thread's connections, and the workers that answer their requests.
class HttpServer::Loop {
 public:
  explicit Loop(HttpServer* server)
      : server_(*server),
        events_(*server->events_),
        page_host_(*server->page_host_),
        log_(server->options_.access_log),
        read_buffer_(kReadChunk) {
    limits_.max_body = server->options_.max_body;
    size_t descriptors = RaiseOpenFileLimit();
    size_t room =
        descriptors > 2 * kSpareDescriptors ? descriptors - kSpareDescriptors : kSpareDescriptors;
    max_connections_ = std::max<size_t>(1, std::min(server->options_.max_connections, room));
  }

  Status Run() {
    if (!events_.Watch(server_.listen_socket_, kListenKey, true, false)) {
      return Status::Error("server", "cannot wait for connections");
    }
    size_t threads = std::max<size_t>(1, server_.options_.threads);
    for (size_t i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
    std::vector<SocketEventLoop::Event> ready;
    Clock::time_point next_sweep = Clock::now() + kSweepInterval;
    while (!server_.stopping_) {
      events_.Wait(static_cast<int>(kSweepInterval.count()), &ready);
      Clock::time_point now = Clock::now();
      for (const SocketEventLoop::Event& event : ready) {
        if (event.key == kListenKey) {
          AcceptAll(now);
        } else {
          OnReady(event, now);
        }
      }
      TakeAnswers(now);
      if (now >= next_sweep) {
        Sweep(now);
        next_sweep = now + kSweepInterval;
      }
    }
    Shutdown();
    return Status::OK();
  }

 private:
  struct Connection {
    Connection(int socket, HttpLimits limits, HttpTimeouts timeouts, Clock::time_point now)
        : socket(socket), http(limits, timeouts, now) {}
    int socket;
    HttpConnection http;
    bool watching_read = true;
    bool watching_write = false;
    std::optional<Clock::time_point> lingering_until;
    // When the connection may be closed to make room: the oldest first.
    Clock::time_point Expiry() const {
      return lingering_until ? *lingering_until : http.Deadline();
    }
  };
  struct Job {
    uint64_t key;
    HttpRequest request;
    Clock::time_point started;
  };
  struct IdleWorker {
    std::condition_variable wake;
    std::optional<Job> job;
  };
  struct Answer {
    uint64_t key;
    HostResponse response;
  };

  void AcceptAll(Clock::time_point now) {
    while (true) {
      int socket = AcceptConnection(server_.listen_socket_);
      if (socket == kNoConnectionWaiting) return;
      if (socket == kAcceptFailed) {
        // Out of descriptors: make room, and stop taking connections for a moment rather than
        // being woken for the waiting one again and again.
        CloseLongestIdle();
        events_.Change(server_.listen_socket_, kListenKey, false, false);
        accept_paused_until_ = now + kAcceptPause;
        return;
      }
      if (connections_.size() >= max_connections_ && !CloseLongestIdle()) {
        CloseSocket(socket);
        continue;
      }
      uint64_t key = next_key_++;
      auto [at, added] =
          connections_.try_emplace(key, socket, limits_, server_.options_.timeouts, now);
      if (!events_.Watch(socket, key, true, false)) {
        CloseSocket(socket);
        connections_.erase(at);
      }
    }
  }

  // Closes the connection that has waited longest for its next request; false when none waits.
  bool CloseLongestIdle() {
    auto oldest = connections_.end();
    for (auto at = connections_.begin(); at != connections_.end(); ++at) {
      if ((at->second.lingering_until || at->second.http.Idle()) &&
          (oldest == connections_.end() || at->second.Expiry() < oldest->second.Expiry())) {
        oldest = at;
      }
    }
    if (oldest == connections_.end()) return false;
    Drop(oldest);
    return true;
  }

  void OnReady(const SocketEventLoop::Event& event, Clock::time_point now) {
    auto at = connections_.find(event.key);
    if (at == connections_.end()) return;
    Connection& connection = at->second;
    if (connection.lingering_until) {
      long count = ReadSocket(connection.socket, read_buffer_.data(), read_buffer_.size());
      if (count != kSocketWouldBlock && count <= 0) Drop(at);
      return;
    }
    if (connection.http.WantsRead() && (event.readable || event.broken)) {
      long count = ReadSocket(connection.socket, read_buffer_.data(), read_buffer_.size());
      if (count > 0) {
        connection.http.Received(std::string_view(read_buffer_.data(), count), now);
      } else if (count != kSocketWouldBlock) {
        connection.http.Close();
      }
    } else if (event.broken && connection.http.state() != HttpConnection::State::kWriting) {
      // Gone while its request is being answered: nobody is left to read the answer.
      connection.http.Close();
    }
    Advance(at, now);
  }

  // Takes the connection as far as it can go without waiting.
  void Advance(std::unordered_map<uint64_t, Connection>::iterator at, Clock::time_point now) {
    Connection& connection = at->second;
    HttpConnection& http = connection.http;
    bool blocked = false;
    while (!blocked) {
      switch (http.state()) {
        case HttpConnection::State::kHeadReady: {
          // Refused on its head alone, before a byte of the body is read.
          std::optional<HostResponse> refusal =
              page_host_.Refusal(ToHostRequest(http.head(), std::string_view()));
          if (refusal) {
            log_.Write(http.head(), *refusal, now);
            http.Respond(*refusal, now);
          } else {
            head_ready_at_[at->first] = now;
            http.ReadBody(now);
          }
          break;
        }
        case HttpConnection::State::kRequestReady: {
          Clock::time_point started = now;
          if (auto found = head_ready_at_.find(at->first); found != head_ready_at_.end()) {
            started = found->second;
            head_ready_at_.erase(found);
          }
          Dispatch(Job{at->first, http.TakeRequest(), started});
          break;
        }
        case HttpConnection::State::kFailed: {
          HostResponse page = ErrorPage(http.error().status, http.error().detail);
          log_.Write(http.head(), page, std::nullopt);
          http.Respond(page, now);
          break;
        }
        case HttpConnection::State::kWriting: {
          std::string_view output = http.Output();
          long count = WriteSocket(connection.socket, output);
          if (count == kSocketBroken) {
            http.Close();
          } else if (count == kSocketWouldBlock) {
            blocked = true;
          } else {
            http.Sent(static_cast<size_t>(count), now);
            if (http.state() == HttpConnection::State::kClosed) {
              Linger(at, now);
              return;
            }
          }
          break;
        }
        case HttpConnection::State::kClosed:
          Drop(at);
          return;
        case HttpConnection::State::kReading:
        case HttpConnection::State::kHandling:
          blocked = true;
          break;
      }
    }
    bool read = http.WantsRead();
    bool write = http.state() == HttpConnection::State::kWriting;
    if (read != connection.watching_read || write != connection.watching_write) {
      events_.Change(connection.socket, at->first, read, write);
      connection.watching_read = read;
      connection.watching_write = write;
    }
  }

  void Linger(std::unordered_map<uint64_t, Connection>::iterator at, Clock::time_point now) {
    Connection& connection = at->second;
    ShutdownSocketSending(connection.socket);
    connection.lingering_until = now + kLingering;
    events_.Change(connection.socket, at->first, true, false);
  }

  void Drop(std::unordered_map<uint64_t, Connection>::iterator at) {
    events_.Forget(at->second.socket);
    CloseSocket(at->second.socket);
    head_ready_at_.erase(at->first);
    connections_.erase(at);
  }

  void TakeAnswers(Clock::time_point now) {
    {
      std::lock_guard lock(answers_mutex_);
      if (answers_.empty()) return;
      taken_.swap(answers_);
    }
    for (Answer& answer : taken_) {
      auto at = connections_.find(answer.key);
      if (at == connections_.end()) continue;  // closed meanwhile
      at->second.http.Respond(answer.response, now);
      Advance(at, now);
    }
    taken_.clear();
  }

  void Sweep(Clock::time_point now) {
    if (accept_paused_until_ && now >= *accept_paused_until_) {
      events_.Change(server_.listen_socket_, kListenKey, true, false);
      accept_paused_until_.reset();
    }
    std::vector<uint64_t> expired;
    for (auto& [key, connection] : connections_) {
      if (now >= connection.Expiry()) expired.push_back(key);
    }
    for (uint64_t key : expired) {
      auto at = connections_.find(key);
      if (at->second.lingering_until) {
        Drop(at);
        continue;
      }
      at->second.http.Expire(now);
      Advance(at, now);
    }
  }

  // Hands the job to the worker that became idle last (its stack and caches are the warmest),
  // or queues it when all are busy.
  void Dispatch(Job job) {
    std::unique_lock lock(jobs_mutex_);
    if (idle_workers_.empty()) {
      jobs_.push_back(std::move(job));
      return;
    }
    IdleWorker* worker = idle_workers_.back();
    idle_workers_.pop_back();
    worker->job = std::move(job);
    lock.unlock();
    worker->wake.notify_one();
  }

  void Work() {
    IdleWorker self;
    while (true) {
      Job job;
      {
        std::unique_lock lock(jobs_mutex_);
        if (jobs_.empty() && !workers_stopping_) {
          idle_workers_.push_back(&self);
          self.wake.wait(lock, [&] { return self.job || workers_stopping_; });
          if (!self.job) {
            std::erase(idle_workers_, &self);
          }
        }
        if (self.job) {
          job = std::move(*self.job);
          self.job.reset();
        } else if (!jobs_.empty()) {
          job = std::move(jobs_.front());
          jobs_.pop_front();
        } else {
          return;  // stopping, nothing left
        }
      }
      HostResponse response = page_host_.Handle(ToHostRequest(job.request.head, job.request.body));
      log_.Write(job.request.head, response, job.started);
      bool first;
      {
        std::lock_guard lock(answers_mutex_);
        first = answers_.empty();
        answers_.push_back(Answer{job.key, std::move(response)});
      }
      if (first) events_.Wake();
    }
  }

  void Shutdown() {
    {
      std::lock_guard lock(jobs_mutex_);
      workers_stopping_ = true;
      for (IdleWorker* worker : idle_workers_) worker->wake.notify_one();
    }
    for (std::thread& worker : workers_) worker.join();
    while (!connections_.empty()) Drop(connections_.begin());
    events_.Forget(server_.listen_socket_);
  }

  HttpServer& server_;
  SocketEventLoop& events_;
  const PageHost& page_host_;
  AccessLog log_;
  HttpLimits limits_;
  size_t max_connections_;
  std::vector<char> read_buffer_;
  std::unordered_map<uint64_t, Connection> connections_;
  std::unordered_map<uint64_t, Clock::time_point> head_ready_at_;
  uint64_t next_key_ = kListenKey + 1;
  std::optional<Clock::time_point> accept_paused_until_;

  std::vector<std::thread> workers_;
  std::mutex jobs_mutex_;
  std::deque<Job> jobs_;
  std::vector<IdleWorker*> idle_workers_;
  bool workers_stopping_ = false;
  std::mutex answers_mutex_;
  std::vector<Answer> answers_;
  std::vector<Answer> taken_;
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
      events_(std::make_unique<SocketEventLoop>()) {}

HttpServer::~HttpServer() { CloseSocket(listen_socket_); }

Status HttpServer::Bind() {
  std::string where = options_.host + ":" + std::to_string(options_.port);
  int bound_port = 0;
  if (listen_socket_ < 0)
    listen_socket_ = OpenListenSocket(options_.host, options_.port, &bound_port);
  if (listen_socket_ < 0) {
    return Status::Error(where,
                         "cannot listen there (the port is in use, or the address is "
                         "not one of this machine's)");
  }
  port_ = bound_port;
  PageHostOptions host_options;
  host_options.port = port_;
  host_options.loopback_only = IsLoopbackAddress(options_.host);
  host_options.max_body = options_.max_body;
  page_host_ = std::make_unique<PageHost>(registry_, sessions_, host_options);
  return Status::OK();
}

Status HttpServer::Serve() {
  if (listen_socket_ < 0 || !page_host_) return Status::Error("server", "not bound");
  if (!events_->ok()) return Status::Error("server", "the system gave no event queue");
  if (stopping_) return Status::OK();
  Loop loop(this);
  return loop.Run();
}

void HttpServer::Stop() {
  stopping_ = true;
  events_->Wake();
}

}  // namespace vorlintex::pagehost
