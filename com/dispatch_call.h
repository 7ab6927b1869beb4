// Calls on a host's dispatch objects by name, the way a script reaches them: late bound, so a
// real web server's objects and script objects serve alike. A failing call is the host's
// failure, an IOError whatever its HRESULT (the reason quotes it); a text the ANSI code page
// cannot carry is InvalidArgument.
#pragma once

#include <oaidl.h>

#include <string>
#include <string_view>

#include "contract/status.h"

namespace vorlintex::com {

// Owns one VARIANT, cleared when destroyed.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

// Invokes the member `name` of `object` (the default member when `name` is empty) with the
// arguments `args` (at most two), as a property read (no arguments) or a property read or
// method call, storing the result in *result.
// `what` names the call in a failure.
Status CallMember(IDispatch* object, std::wstring_view name, const VARIANT* args, int arg_count,
                  const std::string& what, VARIANT* result);

// Assigns `value` to the default member of `object` indexed by `index`.
Status AssignDefaultMember(IDispatch* object, BSTR index, BSTR value, const std::string& what);

// The value as text in the ANSI code page: strings as they are, the empty value as "", objects
// by their default member, anything else as the platform converts it.
Status VariantText(VARIANT* value, const std::string& what, std::string* text);

// The value as an object; a failure when it is none (or Nothing).
Status VariantObject(VARIANT* value, const std::string& what, IDispatch** object);

// Owns a BSTR made from ANSI text, freed when destroyed.
class Text {
 public:
  Text() = default;
  ~Text() { SysFreeString(value_); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  // Fails when the text cannot be carried in the ANSI code page both ways.
  Status Set(std::string_view ansi, const std::string& what);
  BSTR get() const { return value_; }

 private:
  BSTR value_ = nullptr;
};

}  // namespace vorlintex::com
