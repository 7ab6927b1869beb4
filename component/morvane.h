// The component class: renders the three wizard pages inside a page host. Built to the same
// template as every class the generator writes: six members, Main, OnStartPage, OnEndPage, and
// a page method named after its host page; GetFiles is its own.
//
// Failures: a host object's failure is passed on as the host gave it (host.h: an I/O error,
// or InvalidArgument for an index out of range); a host object the host gave as null is an
// IOError naming it. The component's own failures are said at each method, and a COM caller
// gets each code as its HRESULT (com/morvane_object.cc).
//
// A host may call the instance back while one of its calls runs (from Response.Write, say).
// OnStartPage, OnEndPage, GetFiles and the page method are then refused with Busy, naming the
// method, and change nothing: the running call keeps the host objects it took, alive until it
// returns. Main, which touches nothing, is always served.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/automation.h"
#include "contract/host.h"
#include "contract/status.h"
#include "generator/services.h"

namespace vorlintex {

class Morvane : public automation::Object {
 public:
  explicit Morvane(const Services& services) : services_(services) {}

  // Does nothing.
  Status Main();
  // Keeps the page's scripting context, releasing any held before.
  Status OnStartPage(std::shared_ptr<host::ScriptingContext> ASPScriptingContext);
  // Releases the scripting context and the host objects taken from it: the page is over.
  Status OnEndPage();
  // Writes one option line per matching file of the folder pattern `curpath` to Response.
  // IOError when no page method has taken a Response since the last OnEndPage; NotSupported
  // when the process gave the component no folder listing.
  Status GetFiles(std::string& curpath);
  // The page method: takes the five host objects from the context, then renders the page the
  // request asks for. InvalidArgument, writing nothing, when no context was given.
  Status morvane();

  // Methods by name, ASCII case ignored: "Main", "OnStartPage" (a scripting context),
  // "OnEndPage", "GetFiles" (a text, by reference), "morvane". NotSupported for any other
  // name, InvalidArgument for arguments of the wrong number or type; both name the method as
  // called, and the method is not run.
  Status Invoke(std::string_view name, std::vector<automation::Variant>& args) override;

  // The six members, in the order of the class template. All empty at creation.
  std::shared_ptr<host::ScriptingContext> ASPsc;
  std::shared_ptr<host::Application> Application;
  std::shared_ptr<host::Request> Request;
  std::shared_ptr<host::Session> Session;
  std::shared_ptr<host::Response> Response;
  std::shared_ptr<host::Server> Server;

 private:
  class Call;

  Status TakeHostObjects();
  Status WriteFiles(host::Response& response, std::string& curpath);

  // The process's platform and run table, given by the class factory; not page state.
  const Services services_;
  // Set while OnStartPage, OnEndPage, GetFiles or the page method runs.
  std::atomic<bool> running_{false};
};

// Makes the class creatable by its ProgID in `registry`; every instance gets `services`.
void RegisterMorvane(automation::ClassRegistry* registry, const Services& services);

}  // namespace vorlintex
