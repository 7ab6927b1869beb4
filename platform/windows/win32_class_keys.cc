#include "platform/windows/win32_class_keys.h"

#include <windows.h>

#include "platform/windows/win32_status.h"

namespace vorlintex {
namespace {

// Sets the value `name` (null: the default value) of HKEY_CLASSES_ROOT\`subkey`, making the
// key.
Status SetValue(const std::string& subkey, const char* name, const std::string& value) {
  HKEY key = nullptr;
  LONG made = RegCreateKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
  if (made != ERROR_SUCCESS) return Win32Status("HKEY_CLASSES_ROOT\\" + subkey, made);
  LONG set = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) return Win32Status("HKEY_CLASSES_ROOT\\" + subkey, set);
  return Status::OK();
}

// The module path is written in UTF-16, so that a DLL in any folder registers.
Status SetModulePath(const std::string& subkey, const std::wstring& path) {
  HKEY key = nullptr;
  LONG made = RegCreateKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
  if (made != ERROR_SUCCESS) return Win32Status("HKEY_CLASSES_ROOT\\" + subkey, made);
  LONG set = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                            static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) return Win32Status("HKEY_CLASSES_ROOT\\" + subkey, set);
  return Status::OK();
}

// Removes HKEY_CLASSES_ROOT\`subkey` with whatever it holds.
Status RemoveTree(const std::string& subkey) {
  LONG removed = RegDeleteTreeA(HKEY_CLASSES_ROOT, subkey.c_str());
  if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) {
    return Win32Status("HKEY_CLASSES_ROOT\\" + subkey, removed);
  }
  return Status::OK();
}

}  // namespace

Status WriteClassKeys(const ClassKeys& keys) {
  const std::string clsid_key = "CLSID\\" + keys.clsid;
  for (Status status : {
           SetValue(keys.progid, nullptr, keys.description),
           SetValue(keys.progid + "\\CLSID", nullptr, keys.clsid),
           SetValue(clsid_key, nullptr, keys.description),
           SetValue(clsid_key + "\\ProgID", nullptr, keys.progid),
           SetModulePath(clsid_key + "\\InprocServer32", keys.module_path),
           SetValue(clsid_key + "\\InprocServer32", "ThreadingModel", "Apartment"),
           SetValue(clsid_key + "\\TypeLib", nullptr, keys.typelib),
           SetValue(clsid_key + "\\VERSION", nullptr, "1.0"),
       }) {
    if (!status.ok()) return status;
  }
  return Status::OK();
}

Status RemoveClassKeys(const ClassKeys& keys) {
  Status progid = RemoveTree(keys.progid);
  Status clsid = RemoveTree("CLSID\\" + keys.clsid);
  return progid.ok() ? clsid : progid;
}

bool ClassKeyExists(const std::string& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::wstring ModulePath(void* module) {
  wchar_t path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return L"";
  return std::wstring(path, length);
}

}  // namespace vorlintex
