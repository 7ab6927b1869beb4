#include "platform/windows/ansi_text.h"

#include <windows.h>

namespace vorlintex {
namespace {

Status Unrepresentable(const std::string& what) {
  return Status::InvalidArgument(what, "the text cannot be written in the system's ANSI code page");
}

}  // namespace

Status WideToAnsi(std::wstring_view wide, const std::string& what, std::string* ansi) {
  ansi->clear();
  if (wide.empty()) return Status::OK();
  const int wide_size = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, nullptr, 0,
                                 nullptr, &lossy);
  if (size <= 0 || lossy) return Unrepresentable(what);
  ansi->resize(static_cast<size_t>(size));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, ansi->data(), size,
                      nullptr, &lossy);
  if (lossy) {
    ansi->clear();
    return Unrepresentable(what);
  }
  return Status::OK();
}

Status AnsiToWide(std::string_view ansi, const std::string& what, std::wstring* wide) {
  wide->clear();
  if (ansi.empty()) return Status::OK();
  const int ansi_size = static_cast<int>(ansi.size());
  int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), ansi_size, nullptr, 0);
  if (size <= 0) return Unrepresentable(what);
  wide->resize(static_cast<size_t>(size));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), ansi_size, wide->data(), size);
  // Bytes the code page leaves undefined may still map somewhere; only the way back tells.
  std::string back;
  if (!WideToAnsi(*wide, what, &back).ok() || back != ansi) {
    wide->clear();
    return Unrepresentable(what);
  }
  return Status::OK();
}

}  // namespace vorlintex
