#include "app/serve_command.h"

#include <CLI/CLI.hpp>
#include <atomic>
#include <thread>

#include "app/exit_status.h"
#include "app/usage.h"
#include "component/morvane.h"
#include "contract/automation.h"
#include "generator/services.h"
#include "generator/target_turns.h"
#include "pagehost/access_check.h"
#include "pagehost/http_server.h"
#include "pagehost/session_store.h"
#include "platform/large_blocks.h"
#include "platform/machine_name.h"
#include "platform/random_id.h"
#include "platform/stop_signals.h"

namespace vorlintex::app {

int Serve(const ServeOptions& options, Env& env, std::ostream& out, std::ostream& err) {
  std::string host;
  int port = 0;
  if (!pagehost::ParseListenAddress(options.listen, &host, &port)) {
    return UsageError("--listen wants HOST:PORT, e.g. 127.0.0.1:8080 or [::1]:8080",
                      "vorlintex serve", err);
  }
  // Before any thread exists, so that only the waiting thread below takes the signals.
  BlockStopSignals();
  ReturnLargeBlocksToTheSystem();

  generator::TargetTurns turns;
  automation::ClassRegistry registry;
  Services services{&env, &turns};
  ApplyRuleOptions(options.rules, &services);
  RegisterMorvane(&registry, services);
  pagehost::SessionStore sessions;
  pagehost::HttpServerOptions http;
  http.host = host;
  http.port = port;
  http.threads = options.threads;
  http.access_log = options.quiet ? nullptr : &err;
  http.extra_host_names = options.allow_hosts;
  if (pagehost::IsWildcardAddress(host)) {
    std::string machine;
    if (Status named = MachineName(&machine); named.ok() && !machine.empty()) {
      http.extra_host_names.push_back(machine);
    }
  }
  if (!options.no_token) {
    // Two secrets: the token travels in the printed address (and so may be seen in a process
    // list or a terminal's scrollback); the cookie's key never leaves the browser and server.
    for (std::string* secret : {&http.token, &http.access_key}) {
      if (Status made = NewRandomId(secret); !made.ok()) {
        err << "vorlintex: " << made.Message() << "\n";
        return kExitFailed;
      }
    }
  }
  pagehost::HttpServer server(&registry, &sessions, http);
  if (Status bound = server.Bind(); !bound.ok()) {
    err << "vorlintex: " << bound.Message() << "\n";
    return kExitFailed;
  }

  std::string shown_host = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  if (!pagehost::IsLoopbackAddress(host)) {
    err << "vorlintex: warning: listening on " << shown_host
        << ", not on the loopback interface: anyone who can reach this address can read and "
           "write files as this server's user\n";
  }
  if (options.no_token) {
    err << "vorlintex: warning: --no-token: every program that can reach this address can use "
           "the wizard, and so read and write files as this server's user\n";
  }
  std::string address = "http://" + shown_host + ":" + std::to_string(server.port()) +
                        (options.no_token ? "/morvane.asp" : "/?token=" + http.token);
  out << "vorlintex: the wizard is at " << address << " (Ctrl+C stops the server)" << std::endl;

  std::atomic<bool> stopping = false;
  Status served;
  std::thread serving([&] {
    served = server.Serve();
    if (!stopping) RaiseStopSignal();  // ended by itself: wake the wait below
  });
  std::string signal = WaitForStopSignal();
  stopping = true;
  server.Stop();
  serving.join();
  if (!served.ok()) {
    err << "vorlintex: " << served.Message() << "\n";
    return kExitFailed;
  }
  out << "vorlintex: stopped (" << signal << ")" << std::endl;
  return kExitOk;
}

}  // namespace vorlintex::app
