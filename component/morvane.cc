#include "component/morvane.h"

#include "contract/ascii.h"
#include "contract/env.h"
#include "wizard/dispatch.h"
#include "wizard/file_options.h"

namespace vorlintex {
namespace {

Status Missing(std::string_view what) {
  return Status::IOError(std::string(what), "the page host gave no object");
}

Status WrongArguments(std::string_view method) {
  return Status::InvalidArgument(std::string(method), "wrong number or type of arguments");
}

}  // namespace

// One call that reads or replaces the host objects, admitted while no other runs: a host that
// calls back from inside a call would otherwise replace, and so release, the objects the
// running call is writing through.
class Morvane::Call {
 public:
  Call(Morvane& owner, std::string_view method)
      : owner_(owner), method_(method), admitted_(!owner.running_.exchange(true)) {}
  ~Call() {
    if (admitted_) owner_.running_ = false;
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  bool admitted() const { return admitted_; }
  Status Refusal() const {
    return Status::Busy(std::string(method_), "the component is still running another call");
  }

 private:
  Morvane& owner_;
  const std::string_view method_;
  const bool admitted_;
};

Status Morvane::Main() { return Status::OK(); }

Status Morvane::OnStartPage(std::shared_ptr<host::ScriptingContext> ASPScriptingContext) {
  Call call(*this, "OnStartPage");
  if (!call.admitted()) return call.Refusal();
  ASPsc = std::move(ASPScriptingContext);
  return Status::OK();
}

Status Morvane::OnEndPage() {
  Call call(*this, "OnEndPage");
  if (!call.admitted()) return call.Refusal();
  ASPsc = nullptr;
  Application = nullptr;
  Request = nullptr;
  Session = nullptr;
  Response = nullptr;
  Server = nullptr;
  return Status::OK();
}

Status Morvane::GetFiles(std::string& curpath) {
  Call call(*this, "GetFiles");
  if (!call.admitted()) return call.Refusal();
  // The members are public: held here, the Response lives until the call returns.
  const std::shared_ptr<host::Response> response = Response;
  if (!response) return Missing("Response");
  return WriteFiles(*response, curpath);
}

Status Morvane::WriteFiles(host::Response& response, std::string& curpath) {
  if (services_.env == nullptr) {
    return Status::NotSupported("GetFiles", "no folder listing available");
  }
  return wizard::WriteFileOptions(response, *services_.env, curpath);
}

Status Morvane::TakeHostObjects() {
  Status status = ASPsc->Application(&Application);
  if (!status.ok()) return status;
  status = ASPsc->Request(&Request);
  if (!status.ok()) return status;
  status = ASPsc->Session(&Session);
  if (!status.ok()) return status;
  status = ASPsc->Response(&Response);
  if (!status.ok()) return status;
  status = ASPsc->Server(&Server);
  if (!status.ok()) return status;
  if (!Request) return Missing("Request");
  if (!Session) return Missing("Session");
  if (!Response) return Missing("Response");
  return Status::OK();
}

Status Morvane::morvane() {
  Call call(*this, "morvane");
  if (!call.admitted()) return call.Refusal();
  if (!ASPsc) {
    return Status::InvalidArgument("morvane",
                                   "the page method was called without a scripting context");
  }
  const std::shared_ptr<host::ScriptingContext> context = ASPsc;
  Status status = TakeHostObjects();
  if (!status.ok()) return status;
  // The members are public: held here, the objects the page runs on live until it returns.
  const std::shared_ptr<host::Application> application = Application;
  const std::shared_ptr<host::Request> request = Request;
  const std::shared_ptr<host::Session> session = Session;
  const std::shared_ptr<host::Response> response = Response;
  const std::shared_ptr<host::Server> server = Server;
  return wizard::DispatchPage(
      *request, *session, *response,
      [this, &response](std::string& curpath) { return WriteFiles(*response, curpath); },
      services_);
}

Status Morvane::Invoke(std::string_view name, std::vector<automation::Variant>& args) {
  const std::string method = AsciiLower(name);
  if (method == "main" || method == "onendpage" || method == "morvane") {
    if (!args.empty()) return WrongArguments(name);
    if (method == "main") return Main();
    if (method == "onendpage") return OnEndPage();
    return morvane();
  }
  if (method == "onstartpage") {
    auto* context =
        args.size() == 1 ? std::get_if<std::shared_ptr<host::ScriptingContext>>(&args[0]) : nullptr;
    if (context == nullptr) return WrongArguments(name);
    return OnStartPage(*context);
  }
  if (method == "getfiles") {
    auto* curpath = args.size() == 1 ? std::get_if<std::string>(&args[0]) : nullptr;
    if (curpath == nullptr) return WrongArguments(name);
    return GetFiles(*curpath);
  }
  return Status::NotSupported(std::string(name), "the object has no method of this name");
}

void RegisterMorvane(automation::ClassRegistry* registry, const Services& services) {
  registry->Register(automation::kMorvaneProgId,
                     [services]() { return std::make_unique<Morvane>(services); });
}

}  // namespace vorlintex
