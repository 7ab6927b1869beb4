// Who may use the wizard. It reads and writes files as the server's user, so the server answers
// only requests addressed to one of its own names (a page elsewhere cannot reach it by pointing
// its own host name at the server's address), only a browser given the token the server printed
// gets in, and a form may be posted only from a page of this server itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::pagehost {

// Whether `address` (as given to --listen: a name, an IPv4 or an IPv6 address, brackets
// allowed) is on the loopback interface only: localhost, 127.0.0.0/8 or ::1.
bool IsLoopbackAddress(std::string_view address);

// Whether `address` is the wildcard address, on which every interface of the machine answers.
bool IsWildcardAddress(std::string_view address);

// The names a Host header may give for a server listening on `address`: the address itself
// (an IPv6 one in brackets), the loopback names when it is reachable on loopback (a loopback or
// wildcard address), and `extra` (the machine's own names, the user's --allow-host names).
// Lower-cased.
std::vector<std::string> ServerHostNames(std::string_view address,
                                         const std::vector<std::string>& extra);

// Whether a Host header is one of `names`, followed by ":" and `port` or by nothing. The name's
// letter case is ignored.
bool IsServerHostHeader(std::string_view host_header, int port,
                        const std::vector<std::string>& names);

// Whether two secrets are equal, in a time that does not tell how much of them matched.
bool SecretsEqual(std::string_view a, std::string_view b);

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
