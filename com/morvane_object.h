// The COM class morvane: the component class behind its dual interface _morvane, with
// IDispatch served from the type library. No C++ exception and no failure leaves a method
// other than as an error HRESULT with its description: the HRESULT of the failure's code
// (E_INVALIDARG, E_NOTIMPL, E_FAIL, ...; morvane_object.cc says which).
#pragma once

#include <windows.h>

#include "generator/services.h"

namespace vorlintex::com {

// A new instance with one reference, queried for `iid`; `module` is the DLL holding the type
// library.
HRESULT CreateMorvane(const Services& services, HMODULE module, REFIID iid, void** object);

// The number of instances alive in the process.
long LiveMorvanes();

}  // namespace vorlintex::com
