#include "platform/windows/win32_process_turn.h"

#include <windows.h>

#include <cstdint>

#include "platform/windows/win32_status.h"

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

class NamedTurn final : public FolderTurn {
 public:
  explicit NamedTurn(HANDLE mutex) : mutex_(mutex) {}
  ~NamedTurn() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  const HANDLE mutex_;
};

}  // namespace

Status TakeNamedTurn(const std::string& key, const std::string& path, bool wait,
                     std::unique_ptr<FolderTurn>* turn) {
  turn->reset();
  HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(key).c_str());
  if (mutex == nullptr) return Win32Status(path, GetLastError());
  // An abandoned mutex (its holder died mid-run) is held all the same.
  DWORD waited = WaitForSingleObject(mutex, wait ? INFINITE : 0);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    const DWORD error = GetLastError();
    CloseHandle(mutex);
    if (waited == WAIT_TIMEOUT) return Status::Busy(path, kFolderBusyReason);
    return Win32Status(path, error);
  }
  *turn = std::make_unique<NamedTurn>(mutex);
  return Status::OK();
}

}  // namespace vorlintex
