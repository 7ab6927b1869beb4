#include "platform/windows/win32_process_turn.h"

#include <windows.h>

#include <cstdint>

namespace vorlintex {
namespace {

// A mutex name holds no "\" and is at most MAX_PATH long, so the key is named by its hash; two
// keys of one hash only share a turn, which costs waiting, never a mix of files.
std::string MutexName(const std::string& key) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
  static const char kHex[] = "0123456789abcdef";
  std::string name = "Local\\vorlintex-target-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
  return name;
}

}  // namespace

std::shared_ptr<void> TakeNamedTurn(const std::string& key) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(key).c_str());
  if (mutex == nullptr) return nullptr;
  // An abandoned mutex (its holder died mid-run) is held all the same.
  DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::shared_ptr<void>(mutex, [](void* held) {
    ReleaseMutex(held);
    CloseHandle(held);
  });
}

}  // namespace vorlintex
