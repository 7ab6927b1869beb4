#include "pagehost/access_check.h"

#include <string>

#include "contract/ascii.h"

namespace vorlintex::pagehost {
namespace {

bool IsDecimal(std::string_view text) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoi(std::string(text)) <= 255;
}

bool IsLoopbackIpv4(std::string_view address) {
  int parts = 0;
  size_t start = 0;
  while (true) {
    size_t dot = address.find('.', start);
    std::string_view part =
        address.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (!IsDecimal(part)) return false;
    if (parts == 0 && std::stoi(std::string(part)) != 127) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

// "scheme://authority" of a URL, ASCII lower-cased, with an explicit default port 80 removed.
std::string OriginOf(std::string_view url) {
  size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos) return std::string();
  size_t authority_end = url.find_first_of("/?#", scheme_end + 3);
  std::string origin = AsciiLower(url.substr(0, authority_end));
  if (origin.starts_with("http://") && origin.ends_with(":80")) origin.resize(origin.size() - 3);
  return origin;
}

}  // namespace

bool IsLoopbackAddress(std::string_view address) {
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
    address = address.substr(1, address.size() - 2);
  }
  return AsciiEqualIgnoringCase(address, "localhost") || address == "::1" ||
         address == "0:0:0:0:0:0:0:1" || IsLoopbackIpv4(address);
}

bool IsWildcardAddress(std::string_view address) {
  return address == "0.0.0.0" || address == "::" || address == "[::]" ||
         address == "0:0:0:0:0:0:0:0";
}

std::vector<std::string> ServerHostNames(std::string_view address,
                                         const std::vector<std::string>& extra) {
  std::string own = AsciiLower(address);
  if (own.find(':') != std::string::npos && !own.starts_with('[')) own = "[" + own + "]";
  std::vector<std::string> names = {own};
  if (IsLoopbackAddress(address) || IsWildcardAddress(address)) {
    names.insert(names.end(), {"localhost", "127.0.0.1", "[::1]"});
  }
  for (const std::string& name : extra) names.push_back(AsciiLower(name));
  return names;
}

bool IsServerHostHeader(std::string_view host_header, int port,
                        const std::vector<std::string>& names) {
  std::string_view name = host_header;
  size_t name_end = host_header.starts_with('[') ? host_header.find(']') : host_header.find(':');
  if (host_header.starts_with('[')) {
    if (name_end == std::string_view::npos) return false;
    ++name_end;
  }
  if (name_end != std::string_view::npos && name_end < host_header.size()) {
    name = host_header.substr(0, name_end);
    std::string_view rest = host_header.substr(name_end);
    if (!rest.starts_with(':') || rest.substr(1) != std::to_string(port)) return false;
  }
  if (name.empty()) return false;
  for (const std::string& allowed : names) {
    if (AsciiEqualIgnoringCase(name, allowed)) return true;
  }
  return false;
}

bool SecretsEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

bool IsSameOriginPost(std::string_view host_header, std::optional<std::string_view> origin,
                      std::optional<std::string_view> referer) {
  std::optional<std::string_view> source = origin ? origin : referer;
  if (!source) return true;
  if (host_header.empty()) return false;
  std::string own = OriginOf("http://" + std::string(host_header));
  std::string other = OriginOf(*source);
  return !other.empty() && other == own;
}

bool IsForeignFetch(std::optional<std::string_view> sec_fetch_site) {
  return sec_fetch_site && (AsciiEqualIgnoringCase(*sec_fetch_site, "cross-site") ||
                            AsciiEqualIgnoringCase(*sec_fetch_site, "same-site"));
}

}  // namespace vorlintex::pagehost
