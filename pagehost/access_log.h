// The page host's access log: one line per request, "METHOD PATH STATUS BYTES MILLISECONDSms",
// written whole from any thread.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "pagehost/page_host.h"

namespace vorlintex::pagehost {

class AccessLog {
 public:
  using Clock = std::chrono::steady_clock;

  // Null: no log.
  explicit AccessLog(std::ostream* out) : out_(out) {}

  // `started` is when the request's head was whole; none for a request that failed before.
  void Write(std::string_view method, std::string_view path, const HostResponse& response,
             std::optional<Clock::time_point> started);

 private:
  std::ostream* out_;
  std::mutex mutex_;
};

// A method or path as a log can show it: control bytes, quotes and backslashes as \xNN, "-" for
// none (a request that could not be parsed).
std::string Loggable(std::string_view text);

}  // namespace vorlintex::pagehost
