#include "contract/test_host.h"

namespace vorlintex::host {
namespace {

Status Failed(std::string_view what) {
  return Status::Error(std::string(what), "host call failed");
}

class MemoryFormCollection : public FormCollection {
 public:
  explicit MemoryFormCollection(std::vector<std::string> values) : values_(std::move(values)) {}

  Status Count(int* count) override {
    *count = static_cast<int>(values_.size());
    return Status::OK();
  }
  Status Item(int index, std::string* value) override {
    if (index < 1 || index > static_cast<int>(values_.size())) {
      return Status::InvalidArgument("Form", "index out of range");
    }
    *value = values_[index - 1];
    return Status::OK();
  }

 private:
  std::vector<std::string> values_;
};

}  // namespace

void MemoryRequest::SetQueryField(std::string name, std::string value) {
  query_[std::move(name)] = std::move(value);
}

void MemoryRequest::AddFormField(std::string name, std::string value) {
  form_.emplace_back(std::move(name), std::move(value));
}

void MemoryRequest::FailItem(std::string name) { failing_.insert(std::move(name)); }

Status MemoryRequest::Item(std::string_view name, std::string* value) {
  if (failing_.count(name)) return Failed(name);
  value->clear();
  if (auto it = query_.find(name); it != query_.end()) {
    *value = it->second;
    return Status::OK();
  }
  bool first = true;
  for (const auto& [field, posted] : form_) {
    if (field != name) continue;
    if (!first) value->append(", ");
    value->append(posted);
    first = false;
  }
  return Status::OK();
}

Status MemoryRequest::Form(std::string_view name, std::shared_ptr<FormCollection>* values) {
  std::vector<std::string> matching;
  for (const auto& [field, posted] : form_) {
    if (field == name) matching.push_back(posted);
  }
  *values = std::make_shared<MemoryFormCollection>(std::move(matching));
  return Status::OK();
}

Status MemorySession::Item(std::string_view name, std::string* value) {
  auto it = values_.find(name);
  *value = it == values_.end() ? std::string() : it->second;
  return Status::OK();
}

Status MemorySession::SetItem(std::string_view name, std::string_view value) {
  values_[std::string(name)] = std::string(value);
  return Status::OK();
}

std::optional<std::string> MemorySession::Stored(std::string_view name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

Status MemoryResponse::Write(std::string_view text) {
  if (call_back_) call_back_();
  ++write_count_;
  if (fail_from_ > 0 && write_count_ >= fail_from_) return Failed("Response.Write");
  body_.append(text);
  return Status::OK();
}

MemoryContext::MemoryContext(std::shared_ptr<MemorySession> session)
    : session_(session ? std::move(session) : std::make_shared<MemorySession>()) {}

void MemoryContext::FailProperty(std::string name) { failing_.insert(std::move(name)); }

Status MemoryContext::Read(const char* name) {
  reads_.emplace_back(name);
  if (failing_.count(std::string_view(name))) return Failed(name);
  return Status::OK();
}

template <typename Held, typename Given>
Status MemoryContext::Give(const char* name, const std::shared_ptr<Held>& held,
                           std::shared_ptr<Given>* object) {
  Status status = Read(name);
  if (status.ok()) *object = held;
  return status;
}

Status MemoryContext::Application(std::shared_ptr<host::Application>* object) {
  return Give("Application", application_, object);
}
Status MemoryContext::Request(std::shared_ptr<host::Request>* object) {
  return Give("Request", request_, object);
}
Status MemoryContext::Session(std::shared_ptr<host::Session>* object) {
  return Give("Session", session_, object);
}
Status MemoryContext::Response(std::shared_ptr<host::Response>* object) {
  return Give("Response", response_, object);
}
Status MemoryContext::Server(std::shared_ptr<host::Server>* object) {
  return Give("Server", server_, object);
}

}  // namespace vorlintex::host
