#include "com/dispatch_host.h"

#include <string>
#include <utility>

#include "com/dispatch_call.h"

namespace vorlintex::com {
namespace {

// One reference to a dispatch object, released with the holder.
class Held {
 public:
  explicit Held(IDispatch* object) : object_(object) {}  // takes over the reference
  ~Held() {
    if (object_ != nullptr) object_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  IDispatch* get() const { return object_; }

 private:
  IDispatch* object_;
};

// Calls the member `name` of `object` ("" is its default member) with the one text argument
// `text`; its value into `result`.
Status CallWithText(IDispatch* object, std::wstring_view name, std::string_view text,
                    const std::string& what, Variant* result) {
  Text argument;
  Status status = argument.Set(text, what);
  if (!status.ok()) return status;
  VARIANT arg;
  VariantInit(&arg);
  V_VT(&arg) = VT_BSTR;
  V_BSTR(&arg) = argument.get();
  return CallMember(object, name, &arg, 1, what, result->get());
}

// The value of the default member of `object` given one text argument `index`.
Status ItemText(IDispatch* object, std::string_view index, const std::string& what,
                std::string* value) {
  value->clear();
  Variant result;
  Status status = CallWithText(object, L"", index, what, &result);
  if (!status.ok()) return status;
  return VariantText(result.get(), what, value);
}

class DispatchForm final : public host::FormCollection {
 public:
  explicit DispatchForm(IDispatch* values) : values_(values) {}

  Status Count(int* count) override {
    *count = 0;
    Variant result;
    Status status =
        CallMember(values_.get(), L"Count", nullptr, 0, "Request.Form.Count", result.get());
    if (!status.ok()) return status;
    Variant number;
    HRESULT changed = VariantChangeType(number.get(), result.get(), 0, VT_I4);
    if (FAILED(changed)) return Status::IOError("Request.Form.Count", "the count is no number");
    *count = V_I4(number.get());
    return Status::OK();
  }

  // A host fails an index out of range with an HRESULT of its own choosing (a web server's
  // collection gives E_FAIL), so the index is checked here: against 1 before the call, and
  // against the count only when the call failed, which no read within range pays for.
  Status Item(int index, std::string* value) override {
    value->clear();
    if (index < 1) return OutOfRange(index);
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = index;
    Variant result;
    Status status = CallMember(values_.get(), L"", &arg, 1, "Request.Form", result.get());
    if (!status.ok()) {
      int count = 0;
      return Count(&count).ok() && index > count ? OutOfRange(index) : status;
    }
    return VariantText(result.get(), "Request.Form", value);
  }

 private:
  static Status OutOfRange(int index) {
    return Status::InvalidArgument("Request.Form",
                                   "index " + std::to_string(index) + " is out of range");
  }

  Held values_;
};

class DispatchRequest final : public host::Request {
 public:
  explicit DispatchRequest(IDispatch* request) : request_(request) {}

  Status Item(std::string_view name, std::string* value) override {
    return ItemText(request_.get(), name, "Request(" + std::string(name) + ")", value);
  }

  Status Form(std::string_view name, std::shared_ptr<host::FormCollection>* values) override {
    values->reset();
    const std::string what = "Request.Form(" + std::string(name) + ")";
    Variant result;
    Status status = CallWithText(request_.get(), L"Form", name, what, &result);
    if (!status.ok()) return status;
    IDispatch* collection = nullptr;
    status = VariantObject(result.get(), what, &collection);
    if (!status.ok()) return status;
    *values = std::make_shared<DispatchForm>(collection);
    return Status::OK();
  }

 private:
  Held request_;
};

class DispatchSession final : public host::Session {
 public:
  explicit DispatchSession(IDispatch* session) : session_(session) {}

  Status Item(std::string_view name, std::string* value) override {
    return ItemText(session_.get(), name, "Session(" + std::string(name) + ")", value);
  }

  Status SetItem(std::string_view name, std::string_view value) override {
    const std::string what = "Session(" + std::string(name) + ")";
    Text index, text;
    Status status = index.Set(name, what);
    if (status.ok()) status = text.Set(value, what);
    if (!status.ok()) return status;
    return AssignDefaultMember(session_.get(), index.get(), text.get(), what);
  }

 private:
  Held session_;
};

class DispatchResponse final : public host::Response {
 public:
  explicit DispatchResponse(IDispatch* response) : response_(response) {}

  Status Write(std::string_view text) override {
    Variant result;
    return CallWithText(response_.get(), L"Write", text, "Response.Write", &result);
  }

 private:
  Held response_;
};

// Application and Server are held, never called.
class DispatchApplication final : public host::Application {
 public:
  explicit DispatchApplication(IDispatch* object) : object_(object) {}

 private:
  Held object_;
};

class DispatchServer final : public host::Server {
 public:
  explicit DispatchServer(IDispatch* object) : object_(object) {}

 private:
  Held object_;
};

class DispatchContext final : public host::ScriptingContext {
 public:
  explicit DispatchContext(IDispatch* context) : context_(context) { context->AddRef(); }

  Status Application(std::shared_ptr<host::Application>* object) override {
    return Take<DispatchApplication>(L"Application", "Application", object);
  }
  Status Request(std::shared_ptr<host::Request>* object) override {
    return Take<DispatchRequest>(L"Request", "Request", object);
  }
  Status Session(std::shared_ptr<host::Session>* object) override {
    return Take<DispatchSession>(L"Session", "Session", object);
  }
  Status Response(std::shared_ptr<host::Response>* object) override {
    return Take<DispatchResponse>(L"Response", "Response", object);
  }
  Status Server(std::shared_ptr<host::Server>* object) override {
    return Take<DispatchServer>(L"Server", "Server", object);
  }

 private:
  // Reads the context's property `name`, one property read per object.
  template <typename Adapter, typename Base>
  Status Take(const wchar_t* name, const std::string& what, std::shared_ptr<Base>* object) {
    object->reset();
    Variant result;
    Status status = CallMember(context_.get(), name, nullptr, 0, what, result.get());
    if (!status.ok()) return status;
    IDispatch* dispatch = nullptr;
    status = VariantObject(result.get(), what, &dispatch);
    if (!status.ok()) return status;
    *object = std::make_shared<Adapter>(dispatch);
    return Status::OK();
  }

  Held context_;
};

}  // namespace

std::shared_ptr<host::ScriptingContext> NewDispatchContext(IDispatch* context) {
  return std::make_shared<DispatchContext>(context);
}

}  // namespace vorlintex::com
