#include "com/morvane_object.h"

#include <atomic>
#include <exception>
#include <string>

#include "com/dispatch_call.h"
#include "com/dispatch_host.h"
#include "com/tvorlintex.h"
#include "component/morvane.h"
#include "platform/windows/ansi_text.h"
#include "platform/windows/win32_class_keys.h"

namespace vorlintex::com {
namespace {

std::atomic<long> live_objects{0};

// The HRESULT a caller gets for a failure of the core, by its code: E_INVALIDARG for a
// value the method cannot take (a text outside the ANSI code page, a page method called
// without a scripting context), E_NOTIMPL for what the component cannot do in this process,
// the Win32 codes for a missing or existing file or folder, ERROR_BUSY for a call made while
// another call of the instance runs (a host calling back from inside the page), and E_FAIL for
// an I/O error of the system or of the page host. The reason goes with it as the error description.
// Calls of unknown members, or with the wrong number or type of arguments, never reach the core:
// the type library answers them (DISP_E_UNKNOWNNAME, DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT,
// DISP_E_TYPEMISMATCH), as Morvane::Invoke answers them with NotSupported and
// InvalidArgument.
HRESULT ResultOf(Status::Code code) {
  switch (code) {
    case Status::Code::kOk:
      return S_OK;
    case Status::Code::kInvalidArgument:
      return E_INVALIDARG;
    case Status::Code::kNotSupported:
      return E_NOTIMPL;
    case Status::Code::kNotFound:
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case Status::Code::kAlreadyExists:
      return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    case Status::Code::kBusy:
      return HRESULT_FROM_WIN32(ERROR_BUSY);
    case Status::Code::kIOError:
      break;
  }
  return E_FAIL;
}

// A failure of the core as a caller sees it: its HRESULT, with the failure's text as the
// error description.
HRESULT Fail(const Status& status) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    std::wstring description;
    if (!AnsiToWide(status.Message(), "error", &description).ok()) {
      description = L"the method failed";
    }
    create->SetDescription(description.data());
    create->SetGUID(IID__morvane);
    create->SetSource(const_cast<LPOLESTR>(L"tvorlintex.morvane"));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return ResultOf(status.code());
}

// Runs `call`, turning a failing status or any exception into an error HRESULT.
template <typename Call>
HRESULT Guarded(Call call) {
  try {
    Status status = call();
    return status.ok() ? S_OK : Fail(status);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

class MorvaneObject final : public _morvane, public ISupportErrorInfo {
 public:
  MorvaneObject(const Services& services, ITypeInfo* type_info)
      : morvane_(services), type_info_(type_info) {
    ++live_objects;
  }
  ~MorvaneObject() {
    type_info_->Release();
    --live_objects;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__morvane) {
      *object = static_cast<_morvane*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
      *object = static_cast<ISupportErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch, from the type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    type_info_->AddRef();
    *info = type_info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return DispGetIDsOfNames(type_info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* bad_arg) override {
    return DispInvoke(static_cast<_morvane*>(this), type_info_, id, flags, params, result,
                      exception, bad_arg);
  }

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID__morvane ? S_OK : S_FALSE;
  }

  // _morvane
  HRESULT STDMETHODCALLTYPE Main() override {
    return Guarded([&] { return morvane_.Main(); });
  }
  HRESULT STDMETHODCALLTYPE OnStartPage(IDispatch* context) override {
    return Held([&] {
      if (context == nullptr) {
        return Status::InvalidArgument("OnStartPage", "no scripting context was given");
      }
      return morvane_.OnStartPage(NewDispatchContext(context));
    });
  }
  HRESULT STDMETHODCALLTYPE OnEndPage() override {
    return Held([&] { return morvane_.OnEndPage(); });
  }
  HRESULT STDMETHODCALLTYPE GetFiles(BSTR* curpath) override {
    return Held([&] {
      if (curpath == nullptr) return Status::InvalidArgument("GetFiles", "no folder pattern");
      std::string pattern;
      Status status =
          WideToAnsi(std::wstring_view(*curpath, SysStringLen(*curpath)), "curpath", &pattern);
      if (!status.ok()) return status;
      return morvane_.GetFiles(pattern);
    });
  }
  HRESULT STDMETHODCALLTYPE morvane() override {
    return Held([&] { return morvane_.morvane(); });
  }

 private:
  // Guarded(call) with a reference of the call's own: a host that lets go of the instance
  // from inside the call (from Response.Write) leaves it alive until the call returns.
  template <typename Call>
  HRESULT Held(Call call) {
    AddRef();
    HRESULT result = Guarded(call);
    Release();
    return result;
  }

  std::atomic<ULONG> references_{1};
  Morvane morvane_;
  ITypeInfo* type_info_;
};

}  // namespace

HRESULT CreateMorvane(const Services& services, HMODULE module, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  try {
    const std::wstring path = ModulePath(module);
    if (path.empty()) return E_FAIL;
    ITypeLib* library = nullptr;
    HRESULT loaded = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(loaded)) return loaded;
    ITypeInfo* info = nullptr;
    HRESULT found = library->GetTypeInfoOfGuid(IID__morvane, &info);
    library->Release();
    if (FAILED(found)) return found;
    MorvaneObject* instance = new MorvaneObject(services, info);
    HRESULT queried = instance->QueryInterface(iid, object);
    instance->Release();
    return queried;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

long LiveMorvanes() { return live_objects.load(); }

}  // namespace vorlintex::com
