// Classes registered under the wizard's ProgID in the page host's tests: one that writes back
// what it was given through its host objects, and one whose page method fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "contract/automation.h"
#include "contract/host.h"

namespace vorlintex::pagehost::testing {

// A page method that writes "PageNumber=[..]", "sourcedir=[..]", "asplist=N:[a][b]" and
// "session=[..]" lines; when the request holds "store", it stores that value in the session
// as "sourcedir" first.
class EchoPage : public automation::Object {
 public:
  Status Invoke(std::string_view name, std::vector<automation::Variant>& args) override {
    if (name == "OnStartPage") {
      context_ = std::get<std::shared_ptr<host::ScriptingContext>>(args.at(0));
      return Status::OK();
    }
    if (name == "OnEndPage") {
      context_.reset();
      return Status::OK();
    }
    if (name != "morvane" || !context_) return Status::Error(std::string(name), "unknown method");
    std::shared_ptr<host::Request> request;
    std::shared_ptr<host::Session> session;
    std::shared_ptr<host::Response> response;
    context_->Request(&request).IgnoreError();
    context_->Session(&session).IgnoreError();
    context_->Response(&response).IgnoreError();
    std::string value;
    request->Item("store", &value).IgnoreError();
    if (!value.empty()) {
      Status stored = session->SetItem("sourcedir", value);
      if (!stored.ok()) return stored;
    }
    for (const char* field : {"PageNumber", "sourcedir"}) {
      request->Item(field, &value).IgnoreError();
      response->Write(std::string(field) + "=[" + value + "]\n").IgnoreError();
    }
    std::shared_ptr<host::FormCollection> list;
    request->Form("asplist", &list).IgnoreError();
    int count = 0;
    list->Count(&count).IgnoreError();
    std::string line = "asplist=" + std::to_string(count) + ":";
    for (int i = 1; i <= count; ++i) {
      list->Item(i, &value).IgnoreError();
      line += "[" + value + "]";
    }
    response->Write(line + "\n").IgnoreError();
    session->Item("sourcedir", &value).IgnoreError();
    response->Write("session=[" + value + "]\n").IgnoreError();
    return Status::OK();
  }

 private:
  std::shared_ptr<host::ScriptingContext> context_;
};

// Writes a line, then fails when the request's "fail" field is "1".
class FailingPage : public automation::Object {
 public:
  Status Invoke(std::string_view name, std::vector<automation::Variant>& args) override {
    if (name == "OnStartPage") {
      context_ = std::get<std::shared_ptr<host::ScriptingContext>>(args.at(0));
      return Status::OK();
    }
    if (name == "OnEndPage") return Status::OK();
    std::shared_ptr<host::Request> request;
    std::shared_ptr<host::Response> response;
    context_->Request(&request).IgnoreError();
    context_->Response(&response).IgnoreError();
    response->Write("partial page\n").IgnoreError();
    std::string fail;
    request->Item("fail", &fail).IgnoreError();
    if (fail == "1") return Status::Error("C:\\a<b>&c", "Permission \"denied\"");
    return response->Write("done\n");
  }

 private:
  std::shared_ptr<host::ScriptingContext> context_;
};

}  // namespace vorlintex::pagehost::testing
