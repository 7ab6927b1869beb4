// The registry keys by which COM finds an in-process class: written by registration, removed
// by unregistration, under HKEY_CLASSES_ROOT.
#pragma once

#include <string>

#include "contract/status.h"

namespace vorlintex {

struct ClassKeys {
  std::string progid;        // "tvorlintex.morvane"
  std::string clsid;         // "{...}"
  std::string description;   // the default value of the ProgID and CLSID keys
  std::string typelib;       // the type library's "{...}"
  std::wstring module_path;  // the DLL, for InprocServer32
};

// Writes ProgID\CLSID, CLSID\{clsid} with InprocServer32 (ThreadingModel Apartment), ProgID
// and TypeLib.
Status WriteClassKeys(const ClassKeys& keys);

// Removes exactly the keys WriteClassKeys writes; keys already gone are no failure.
Status RemoveClassKeys(const ClassKeys& keys);

// Whether HKEY_CLASSES_ROOT\`subkey` exists (false too when it cannot be opened for reading).
bool ClassKeyExists(const std::string& subkey);

// The path of the module (DLL) at `module`, an HMODULE; empty when it cannot be had.
std::wstring ModulePath(void* module);

}  // namespace vorlintex
