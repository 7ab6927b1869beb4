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

Status Morvane::Main() { return Status::OK(); }

Status Morvane::OnStartPage(std::shared_ptr<host::ScriptingContext> ASPScriptingContext) {
  ASPsc = std::move(ASPScriptingContext);
  return Status::OK();
}

Status Morvane::OnEndPage() {
  ASPsc = nullptr;
  return Status::OK();
}

Status Morvane::GetFiles(std::string& curpath) {
  if (!Response) return Missing("Response");
  if (services_.env == nullptr) {
    return Status::NotSupported("GetFiles", "no folder listing available");
  }
  return wizard::WriteFileOptions(*Response, *services_.env, curpath);
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
  if (!ASPsc) {
    return Status::InvalidArgument("morvane",
                                   "the page method was called without a scripting context");
  }
  Status status = TakeHostObjects();
  if (!status.ok()) return status;
  return wizard::DispatchPage(
      *Request, *Session, *Response, [this](std::string& curpath) { return GetFiles(curpath); },
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
