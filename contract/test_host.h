// A page host in memory, for tests: one request's query and form fields, a session map and a
// response buffer, reached through a scripting context. Calls can be told to fail.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "contract/host.h"

namespace vorlintex::host {

class MemoryRequest : public Request {
 public:
  void SetQueryField(std::string name, std::string value);
  // Adds one posted value; repeated names keep their posted order.
  void AddFormField(std::string name, std::string value);
  // Every call of Item for `name` fails.
  void FailItem(std::string name);

  // The query field, else the posted values joined by ", " (as the default lookup of a
  // repeated form field gives them), else empty.
  Status Item(std::string_view name, std::string* value) override;
  Status Form(std::string_view name, std::shared_ptr<FormCollection>* values) override;

 private:
  std::map<std::string, std::string, std::less<>> query_;
  std::vector<std::pair<std::string, std::string>> form_;
  std::set<std::string, std::less<>> failing_;
};

class MemorySession : public Session {
 public:
  Status Item(std::string_view name, std::string* value) override;
  Status SetItem(std::string_view name, std::string_view value) override;
  // What is stored under `name`, nothing when nothing was.
  std::optional<std::string> Stored(std::string_view name) const;

 private:
  std::map<std::string, std::string, std::less<>> values_;
};

class MemoryResponse : public Response {
 public:
  Status Write(std::string_view text) override;
  const std::string& body() const { return body_; }
  int write_count() const { return write_count_; }
  // The `n`-th Write from now on (1-based) and every one after it fails.
  void FailFromWrite(int n) { fail_from_ = write_count_ + n; }
  // Every Write runs `call` before it writes, as a host calling back into the page would.
  void CallBackOnWrite(std::function<void()> call) { call_back_ = std::move(call); }

 private:
  std::function<void()> call_back_;
  std::string body_;
  int write_count_ = 0;
  int fail_from_ = 0;
};

class MemoryApplication : public Application {};
class MemoryServer : public Server {};

// The scripting context of one request. Each property can be told to fail.
class MemoryContext : public ScriptingContext {
 public:
  explicit MemoryContext(std::shared_ptr<MemorySession> session = nullptr);

  MemoryRequest& request() { return *request_; }
  MemorySession& session() { return *session_; }
  MemoryResponse& response() { return *response_; }
  // Reading the property `name` ("Application", "Request", ...) fails from now on.
  void FailProperty(std::string name);
  // How many property reads were made, in order.
  const std::vector<std::string>& property_reads() const { return reads_; }

  Status Application(std::shared_ptr<host::Application>* object) override;
  Status Request(std::shared_ptr<host::Request>* object) override;
  Status Session(std::shared_ptr<host::Session>* object) override;
  Status Response(std::shared_ptr<host::Response>* object) override;
  Status Server(std::shared_ptr<host::Server>* object) override;

 private:
  Status Read(const char* name);
  // Reads the property `name` and, unless it fails, gives `held` as *object.
  template <typename Held, typename Given>
  Status Give(const char* name, const std::shared_ptr<Held>& held, std::shared_ptr<Given>* object);

  std::shared_ptr<MemoryApplication> application_ = std::make_shared<MemoryApplication>();
  std::shared_ptr<MemoryRequest> request_ = std::make_shared<MemoryRequest>();
  std::shared_ptr<MemorySession> session_;
  std::shared_ptr<MemoryResponse> response_ = std::make_shared<MemoryResponse>();
  std::shared_ptr<MemoryServer> server_ = std::make_shared<MemoryServer>();
  std::set<std::string, std::less<>> failing_;
  std::vector<std::string> reads_;
};

}  // namespace vorlintex::host
