// The four functions of an in-process COM server and the class factory of morvane. What the
// DLL shares between instances is the platform (which keeps no state) and the table of target
// folders (locked inside, and turns that hold between worker processes): both safe on any
// thread.
#include <olectl.h>
#include <windows.h>

#include <atomic>
#include <string>

// The one file that defines the type library's identifiers.
#include <initguid.h>

#include "com/morvane_object.h"
#include "com/tvorlintex.h"
#include "contract/automation.h"
#include "generator/target_turns.h"
#include "platform/windows/win32_class_keys.h"
#include "platform/windows/win32_process_turn.h"
#include "platform/windows/windows_env.h"

namespace vorlintex::com {
namespace {

HMODULE this_module = nullptr;
std::atomic<long> server_locks{0};

// Made at the first instance, kept until the process ends.
const Services& ProcessServices() {
  static const std::unique_ptr<Env> env = NewWindowsEnv();
  static generator::TargetTurns turns(TakeNamedTurn);
  static const Services services{env.get(), &turns};
  return services;
}

class MorvaneFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory lives as long as the DLL.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object != nullptr) *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    try {
      return CreateMorvane(ProcessServices(), this_module, iid, object);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++server_locks;
    } else {
      --server_locks;
    }
    return S_OK;
  }
};

MorvaneFactory factory;

ClassKeys MorvaneKeys() {
  return ClassKeys{std::string(automation::kMorvaneProgId),
                   "{1C9BBF69-5C2C-4AA2-AF50-FDB7B94495BD}", "morvane",
                   "{9AB80818-38F0-4C15-9AD7-41DCA1C1989D}", ModulePath(this_module)};
}

}  // namespace
}  // namespace vorlintex::com

using vorlintex::com::factory;
using vorlintex::com::this_module;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    this_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_morvane) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, object);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return vorlintex::com::LiveMorvanes() == 0 && vorlintex::com::server_locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  try {
    vorlintex::ClassKeys keys = vorlintex::com::MorvaneKeys();
    if (keys.module_path.empty()) return SELFREG_E_CLASS;
    if (!vorlintex::WriteClassKeys(keys).ok()) return SELFREG_E_CLASS;
    ITypeLib* library = nullptr;
    HRESULT loaded = LoadTypeLibEx(keys.module_path.c_str(), REGKIND_NONE, &library);
    if (FAILED(loaded)) return SELFREG_E_TYPELIB;
    std::wstring path = keys.module_path;
    HRESULT registered = RegisterTypeLib(library, path.data(), nullptr);
    library->Release();
    return FAILED(registered) ? SELFREG_E_TYPELIB : S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  try {
    const vorlintex::ClassKeys keys = vorlintex::com::MorvaneKeys();
    const bool keys_removed = vorlintex::RemoveClassKeys(keys).ok();
    // A type library already gone is what unregistration wants, and installers unregister
    // what may never have been registered; UnRegisterTypeLib fails on a library it does not
    // find, with a code that differs between systems, so it is called only on one there.
    const bool win64 = sizeof(void*) == 8;
    if (vorlintex::ClassKeyExists("TypeLib\\" + keys.typelib + "\\1.0\\0\\" +
                                  (win64 ? "win64" : "win32"))) {
      HRESULT library =
          UnRegisterTypeLib(LIBID_tvorlintex, 1, 0, LANG_NEUTRAL, win64 ? SYS_WIN64 : SYS_WIN32);
      if (FAILED(library) && library != TYPE_E_REGISTRYACCESS &&
          library != TYPE_E_LIBNOTREGISTERED) {
        return SELFREG_E_TYPELIB;
      }
    }
    return keys_removed ? S_OK : SELFREG_E_CLASS;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
