#include "pagehost/access_log.h"

#include <cstdio>

namespace vorlintex::pagehost {

std::string Loggable(std::string_view text) {
  if (text.empty()) return "-";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
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

void AccessLog::Write(std::string_view method, std::string_view path, const HostResponse& response,
                      std::optional<Clock::time_point> started) {
  if (out_ == nullptr) return;
  std::string elapsed = "-";
  if (started) {
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - *started).count();
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", ms);
    elapsed = text;
  }
  std::string line = Loggable(method) + " " + Loggable(path) + " " +
                     std::to_string(response.status) + " " + std::to_string(response.body.size()) +
                     " " + elapsed + "ms\n";
  std::lock_guard lock(mutex_);
  out_->write(line.data(), static_cast<std::streamsize>(line.size()));
  out_->flush();
}

}  // namespace vorlintex::pagehost
