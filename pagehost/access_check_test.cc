#include "pagehost/access_check.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace vorlintex::pagehost {
namespace {

TEST(AccessCheckTest, LoopbackAddresses) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true},    {"127.1.2.3", true},  {"LocalHost", true}, {"::1", true},
      {"[::1]", true},        {"0.0.0.0", false},   {"::", false},       {"127.0.0", false},
      {"127.0.0.256", false}, {"128.0.0.1", false}, {"", false},
  };
  for (const auto& [address, loopback] : cases) {
    EXPECT_EQ(IsLoopbackAddress(address), loopback) << address;
  }
}

// The Host header must name the server (the address it listens on, the loopback names when
// that is loopback or a wildcard, the names it is given) and the port it is bound to.
TEST(AccessCheckTest, HostHeaderMustNameTheServerAndTheBoundPort) {
  struct Case {
    const char* address;
    std::vector<const char*> allowed, refused;
  };
  const Case cases[] = {
      {"127.0.0.1",
       {"LOCALHOST:8080", "[::1]:8080", "localhost", "wizard.TEST:8080"},
       {"wizard.test.evil.example:8080", "localhost:8081", "localhost:08080", "127.0.0.2:8080",
        "[::1", ":8080"}},
      {"127.0.0.2", {"127.0.0.2:8080", "localhost:8080"}, {}},
      {"::1", {"[::1]:8080"}, {}},
      {"192.168.1.4", {"192.168.1.4:8080"}, {"localhost:8080"}},
      {"0.0.0.0", {"0.0.0.0:8080", "127.0.0.1:8080"}, {}},
      {"::", {"[::1]:8080"}, {}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> names = ServerHostNames(c.address, {"Wizard.test"});
    for (const char* host : c.allowed) EXPECT_TRUE(IsServerHostHeader(host, 8080, names)) << host;
    for (const char* host : c.refused) EXPECT_FALSE(IsServerHostHeader(host, 8080, names)) << host;
  }
}

TEST(AccessCheckTest, PostsMustComeFromThisOrigin) {
  using Header = std::optional<std::string_view>;
  // Host, Origin, Referer, and whether a post with them is allowed.
  const std::tuple<const char*, Header, Header, bool> cases[] = {
      {"localhost:8080", "HTTP://LocalHost:8080", std::nullopt, true},
      {"localhost:8080", "http://evil.example", "http://localhost:8080/morvane.asp", false},
      {"localhost:8080", "https://localhost:8080", std::nullopt, false},
      {"localhost:8080", "null", std::nullopt, false},
      {"localhost:8080", std::nullopt, "http://localhost:8080/morvane.asp?x=1", true},
      {"localhost:8080", std::nullopt, "http://localhost:8080.evil.example/", false},
      {"localhost", "http://localhost:80", std::nullopt, true},
      {"localhost:8080", std::nullopt, std::nullopt, true},
      {"", "http://localhost:8080", std::nullopt, false},
  };
  for (const auto& [host, origin, referer, allowed] : cases) {
    EXPECT_EQ(IsSameOriginPost(host, origin, referer), allowed)
        << host << " origin=" << origin.value_or("(none)")
        << " referer=" << referer.value_or("(none)");
  }
}

}  // namespace
}  // namespace vorlintex::pagehost
