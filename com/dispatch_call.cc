#include "com/dispatch_call.h"

#include <string>

#include "platform/windows/ansi_text.h"

namespace vorlintex::com {
namespace {

Status Failed(const std::string& what, HRESULT result, const EXCEPINFO* exception = nullptr) {
  std::string reason = "the call failed with HRESULT 0x";
  static const char kHex[] = "0123456789ABCDEF";
  unsigned long code = static_cast<unsigned long>(result);
  for (int shift = 28; shift >= 0; shift -= 4) reason += kHex[(code >> shift) & 0xF];
  if (exception != nullptr && exception->bstrDescription != nullptr) {
    std::string description;
    if (WideToAnsi(exception->bstrDescription, what, &description).ok() && !description.empty()) {
      reason += ": " + description;
    }
  }
  return Status::IOError(what, reason);
}

void ClearException(EXCEPINFO* exception) {
  SysFreeString(exception->bstrSource);
  SysFreeString(exception->bstrDescription);
  SysFreeString(exception->bstrHelpFile);
}

Status Invoke(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params, const std::string& what,
              VARIANT* result) {
  EXCEPINFO exception = {};
  UINT bad_arg = 0;
  HRESULT invoked = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result,
                                   &exception, &bad_arg);
  Status status = SUCCEEDED(invoked) ? Status::OK() : Failed(what, invoked, &exception);
  ClearException(&exception);
  return status;
}

}  // namespace

Status CallMember(IDispatch* object, std::wstring_view name, const VARIANT* args, int arg_count,
                  const std::string& what, VARIANT* result) {
  if (object == nullptr) return Status::IOError(what, "the page host gave no object");
  DISPID id = DISPID_VALUE;
  if (!name.empty()) {
    std::wstring copy(name);
    LPOLESTR names[] = {copy.data()};
    HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) return Failed(what, found);
  }
  // Arguments go in reverse order.
  VARIANT reversed[2];
  for (int i = 0; i < arg_count; ++i) reversed[i] = args[arg_count - 1 - i];
  DISPPARAMS params = {reversed, nullptr, static_cast<UINT>(arg_count), 0};
  // A member read without arguments is a property read: script objects would call the
  // property's value if asked for a method too.
  const WORD flags = arg_count == 0 ? DISPATCH_PROPERTYGET : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  return Invoke(object, id, flags, &params, what, result);
}

Status AssignDefaultMember(IDispatch* object, BSTR index, BSTR value, const std::string& what) {
  if (object == nullptr) return Status::IOError(what, "the page host gave no object");
  VARIANT args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  V_VT(&args[0]) = VT_BSTR;  // the value comes first, as the last argument
  V_BSTR(&args[0]) = value;
  V_VT(&args[1]) = VT_BSTR;
  V_BSTR(&args[1]) = index;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {args, &named, 2, 1};
  return Invoke(object, DISPID_VALUE, DISPATCH_PROPERTYPUT, &params, what, nullptr);
}

Status VariantText(VARIANT* value, const std::string& what, std::string* text) {
  text->clear();
  if (V_VT(value) == VT_EMPTY) return Status::OK();
  Variant converted;
  HRESULT changed = VariantChangeType(converted.get(), value, 0, VT_BSTR);
  if (FAILED(changed)) return Failed(what, changed);
  BSTR wide = V_BSTR(converted.get());
  return WideToAnsi(std::wstring_view(wide, SysStringLen(wide)), what, text);
}

Status VariantObject(VARIANT* value, const std::string& what, IDispatch** object) {
  *object = nullptr;
  if ((V_VT(value) != VT_DISPATCH && V_VT(value) != VT_UNKNOWN) || V_UNKNOWN(value) == nullptr) {
    return Status::IOError(what, "the page host gave no object");
  }
  HRESULT found = V_UNKNOWN(value)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object));
  if (FAILED(found)) return Failed(what, found);
  return Status::OK();
}

Status Text::Set(std::string_view ansi, const std::string& what) {
  std::wstring wide;
  Status converted = AnsiToWide(ansi, what, &wide);
  if (!converted.ok()) return converted;
  SysFreeString(value_);
  value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (value_ == nullptr) return Status::IOError(what, "out of memory");
  return Status::OK();
}

}  // namespace vorlintex::com
