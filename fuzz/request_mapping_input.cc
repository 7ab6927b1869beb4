#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "component/morvane.h"
#include "contract/automation.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "generator/services.h"
#include "generator/target_turns.h"
#include "pagehost/page_host.h"
#include "pagehost/session_store.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::fuzz {
namespace {

constexpr int kPort = 8080;
constexpr size_t kMaxBody = 4096;

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

int RequestMappingInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  // method, path, query, Cookie, Content-Type, Host, Origin, Referer; then the body.
  std::array<std::optional<std::string_view>, 8> lines;
  for (std::optional<std::string_view>& line : lines) {
    const size_t end = rest.find('\n');
    if (end == std::string_view::npos) break;
    line = rest.substr(0, end);
    rest = rest.substr(end + 1);
  }
  pagehost::HostRequest request;
  request.method = lines[0].value_or("GET");
  request.path = lines[1].value_or("/morvane.asp");
  request.query = lines[2].value_or("");
  request.cookie = lines[3];
  request.content_type = lines[4];
  request.host = lines[5];
  request.origin = lines[6];
  request.referer = lines[7];
  request.body = lines[7] ? rest : std::string_view();

  // A fresh platform for every input: a generation run writes into it.
  auto store = fs::MemoryFileSystem::Create();
  store->AddFile("C:\\src\\default.asp", "<html><%= Now %></html>\r\n");
  store->AddFile("C:\\src\\Orders.ASP", "<!-- #include file=\"menu.inc\" -->\r\n");
  store->AddFile("C:\\src\\menu.inc", "<% Sub Menu %>\r\n");
  MemoryEnv env(store);
  generator::TargetTurns turns;
  automation::ClassRegistry registry;
  RegisterMorvane(&registry, Services{&env, &turns});
  pagehost::SessionStoreOptions session_options;
  session_options.max_sessions = 4;
  pagehost::SessionStore sessions(session_options);
  pagehost::PageHostOptions options;
  options.port = kPort;
  options.max_body = kMaxBody;
  const pagehost::PageHost host(&registry, &sessions, options);

  const std::optional<pagehost::HostResponse> refusal = host.Refusal(request);
  const pagehost::HostResponse response = host.Handle(request);

  if (refusal) {
    FUZZ_CHECK(refusal->status == 403);
    FUZZ_CHECK(response.status == 403);
    FUZZ_CHECK(response.body == refusal->body);
  }
  // Nothing the client sends makes the page fail inside, and no answer is a success that
  // took a body over the limit.
  FUZZ_CHECK(response.status != 500);
  FUZZ_CHECK(response.status == 200 || response.status == 302 ||
             (response.status >= 400 && response.status < 500));
  if (request.body.size() > kMaxBody && response.status == 200) {
    FUZZ_CHECK(request.method != "POST");
  }
  FUZZ_CHECK(!response.content_type.empty());
  FUZZ_CHECK(!HasLineBreakOrNul(response.content_type));
  // No header can be split or forged by what the request carried.
  for (const auto& [name, value] : response.headers) {
    FUZZ_CHECK(!name.empty());
    FUZZ_CHECK(!HasLineBreakOrNul(name));
    FUZZ_CHECK(!HasLineBreakOrNul(value));
    if (name == "Set-Cookie") {
      const std::string_view id = pagehost::CookieValue(value, pagehost::kSessionCookie);
      FUZZ_CHECK(pagehost::SessionStore::LooksLikeId(id));
    }
  }
  FUZZ_CHECK(sessions.size() <= 1);
  return 0;
}

}  // namespace vorlintex::fuzz
