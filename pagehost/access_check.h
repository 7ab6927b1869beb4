// Who may use the wizard. It reads and writes files as the server's user, so a server bound to
// the loopback interface answers only requests addressed to a loopback name (a page elsewhere
// cannot reach it by pointing its own host name at 127.0.0.1), and a form may be posted only
// from a page of this server itself.
#pragma once

#include <optional>
#include <string_view>

namespace vorlintex::pagehost {

// Whether `address` (as given to --listen: a name, an IPv4 or an IPv6 address, brackets
// allowed) is on the loopback interface only: localhost, 127.0.0.0/8 or ::1.
bool IsLoopbackAddress(std::string_view address);

// Whether a Host header names this server on the loopback interface: "localhost", "127.0.0.1"
// or "[::1]", followed by ":" and `port` or by nothing. The name's letter case is ignored.
bool IsLoopbackHostHeader(std::string_view host_header, int port);

// Whether a POST comes from a page of the origin its Host header names. The Origin header
// decides when present ("null" is another origin); otherwise the Referer; a request with
// neither (not sent by a browser's form) passes.
bool IsSameOriginPost(std::string_view host_header, std::optional<std::string_view> origin,
                      std::optional<std::string_view> referer);

// Whether a browser marked the request as sent by a page of another site (or of another
// origin on the same site) through its Sec-Fetch-Site header: "cross-site" or "same-site".
// Absent, "same-origin" and "none" (typed by the user) are not.
bool IsForeignFetch(std::optional<std::string_view> sec_fetch_site);

}  // namespace vorlintex::pagehost
