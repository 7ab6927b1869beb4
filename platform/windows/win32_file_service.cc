#include "platform/windows/win32_file_service.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "platform/block_text_stream.h"
#include "platform/windows/win32_status.h"

namespace vorlintex {
namespace {

bool HoldsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True when a folder of `path`'s is an ordinary file, which Windows reports as a missing path.
bool PassesThroughAFile(const std::string& path) {
  for (size_t end = path.find_last_of("\\/"); end != std::string::npos && end > 0;
       end = path.find_last_of("\\/", end - 1)) {
    DWORD attributes = GetFileAttributesA(path.substr(0, end).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  return false;
}

// Windows reports a folder opened as a file as "access denied", and a path through a file as
// missing; the POSIX platform's reasons say what happened, and reports read the same on both.
Status OpenFailure(const std::string& path, DWORD error) {
  if (error == ERROR_ACCESS_DENIED && IsFolder(path)) {
    return Status::IOError(path, "Is a directory");
  }
  if (error == ERROR_PATH_NOT_FOUND && PassesThroughAFile(path)) {
    return Status::NotFound(path, "Not a directory");
  }
  return Win32Status(path, error);
}

class Win32TextStream final : public BlockTextStream {
 public:
  // A written file is made under `temporary` and renamed to `target` when closed whole.
  Win32TextStream(HANDLE file, std::string path, bool writing, std::string temporary = {},
                  std::string target = {})
      : BlockTextStream(std::move(path), writing),
        file_(file),
        temporary_(std::move(temporary)),
        target_(std::move(target)) {}

  ~Win32TextStream() override {
    if (!closed()) Close().IgnoreError();
  }

  Status Close() override {
    if (closed()) return Misuse();
    Status status = Finish();
    if (!CloseHandle(file_) && status.ok()) status = Win32Status(path(), GetLastError());
    if (!temporary_.empty()) {
      // Whole: it takes the name, replacing whatever stood there, a link included. Not whole:
      // the old file stays.
      if (status.ok() &&
          !MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        status = Win32Status(path(), GetLastError());
      }
      if (!status.ok()) DeleteFileA(temporary_.c_str());
    }
    return status;
  }

  Status Abandon() override {
    if (closed()) return Misuse();
    Drop();
    // The handle is let go either way; a written file's close error concerns bytes that are
    // thrown away.
    const bool closed_well = CloseHandle(file_) != 0;
    if (temporary_.empty()) return closed_well ? Status::OK() : Win32Status(path(), GetLastError());
    if (!DeleteFileA(temporary_.c_str())) return Win32Status(path(), GetLastError());
    return Status::OK();
  }

 private:
  Status ReadBlock(char* into, size_t capacity, size_t* count, bool* last) override {
    DWORD got = 0;
    if (!ReadFile(file_, into, static_cast<DWORD>(capacity), &got, nullptr)) {
      return Win32Status(path(), GetLastError());
    }
    *count = got;
    *last = false;
    return Status::OK();
  }

  Status WriteBlock(const char* data, size_t size) override {
    while (size > 0) {
      DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      DWORD count = 0;
      if (!WriteFile(file_, data, chunk, &count, nullptr) || count == 0) {
        return Win32Status(path(), count == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_WRITE_FAULT
                                                                                 : GetLastError());
      }
      data += count;
      size -= count;
    }
    return Status::OK();
  }

  Status Misuse() const override { return BadHandleStatus(path()); }

  HANDLE file_;
  std::string temporary_;
  std::string target_;
};

// The folder part of `path`, with its separator; empty for a bare name.
std::string FolderPart(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The name a new file takes: an existing file's own spelling, so that replacing it keeps it.
std::string TargetSpelling(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return path;
  FindClose(search);
  if (path.find_first_of("*?") != std::string::npos) return path;
  return FolderPart(path) + found.cFileName;
}

// A name no file of the run takes, beside the file in the making; the listing leaves out
// names that start with ".".
std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned long long> counter{0};
  unsigned long long value = (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^
                             GetTickCount64() ^
                             (0x9e3779b97f4a7c15ULL * (counter.fetch_add(1) + 1));
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = FolderPart(path) + ".vorlintex-";
  for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHex[(value >> shift) & 0xf]);
  return name + ".tmp";
}

// Other readers and writers of a file are let in, as the POSIX platform lets them.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Win32FileService final : public fs::TextFileService {
 public:
  Status CreateFolder(const std::string& path) override {
    if (HoldsNul(path)) return NulInPathStatus(path);
    if (!CreateDirectoryA(path.c_str(), nullptr)) return OpenFailure(path, GetLastError());
    return Status::OK();
  }

  Status CreateTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return NulInPathStatus(path);
    if (IsFolder(path)) return OpenFailure(path, ERROR_ACCESS_DENIED);
    // Written beside its name and renamed over it when closed: a link at the name is replaced,
    // not written through, and a run cut short leaves no half-written file where one stood.
    for (int attempt = 0; attempt < 8; ++attempt) {
      std::string temporary = TemporaryName(path);
      HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS) continue;
        return OpenFailure(path, error);
      }
      *stream = std::make_unique<Win32TextStream>(file, path, /*writing=*/true,
                                                  std::move(temporary), TargetSpelling(path));
      return Status::OK();
    }
    return OpenFailure(path, ERROR_FILE_EXISTS);
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return NulInPathStatus(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return OpenFailure(path, GetLastError());
    *stream = std::make_unique<Win32TextStream>(file, path, /*writing=*/false);
    return Status::OK();
  }

  bool FileExists(const std::string& path) override {
    if (HoldsNul(path)) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
};

}  // namespace

std::unique_ptr<fs::TextFileService> NewWin32FileService() {
  return std::make_unique<Win32FileService>();
}

}  // namespace vorlintex
