#include "platform/windows/win32_file_service.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <utility>

#include "platform/windows/win32_status.h"

namespace vorlintex {
namespace {

// Reads and writes go through the stream's own buffer of this size, so a line costs no system
// call and no allocation.
constexpr size_t kBlockSize = 64 * 1024;

constexpr char kPastEnd[] = "Input past end of file";

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

class Win32TextStream final : public fs::TextStream {
 public:
  // A written file is made under `temporary` and renamed to `target` when closed whole.
  Win32TextStream(HANDLE file, std::string path, bool writing, std::string temporary = {},
                  std::string target = {})
      : file_(file),
        path_(std::move(path)),
        writing_(writing),
        buffer_(new char[kBlockSize]),
        temporary_(std::move(temporary)),
        target_(std::move(target)) {}

  ~Win32TextStream() override {
    if (!closed_) Close().IgnoreError();
  }

  bool AtEndOfStream() override {
    if (closed_ || writing_) return true;
    return !Fill();
  }

  Status ReadLine(std::string* line) override {
    line->clear();
    if (closed_ || writing_) return BadHandleStatus(path_);
    if (!Fill()) return read_failed_ ? read_error_ : Status::Error(path_, kPastEnd);
    while (true) {
      const char* start = buffer_.get() + begin_;
      size_t available = end_ - begin_;
      const void* line_feed = std::memchr(start, '\n', available);
      if (line_feed != nullptr) {
        size_t length = static_cast<const char*>(line_feed) - start;
        line->append(start, length);
        begin_ += length + 1;
        // The CR of a CR LF may have come at the end of the previous block.
        if (!line->empty() && line->back() == '\r') line->pop_back();
        return Status::OK();
      }
      line->append(start, available);
      begin_ = end_;
      // A last line without a line end is still a line.
      if (!Fill()) return read_failed_ ? read_error_ : Status::OK();
    }
  }

  Status WriteLine(std::string_view text) override {
    if (closed_ || !writing_) return BadHandleStatus(path_);
    // After a failed write the file has a hole; every later line fails the same way.
    if (!write_error_.ok()) return write_error_;
    if (end_ + text.size() + 2 > kBlockSize) {
      Status flushed = Flush();
      if (!flushed.ok()) return flushed;
      if (text.size() + 2 > kBlockSize) {
        Status written = WriteAll(text.data(), text.size());
        if (!written.ok()) return written;
        text = {};
      }
    }
    if (!text.empty()) std::memcpy(buffer_.get() + end_, text.data(), text.size());
    end_ += text.size();
    buffer_[end_++] = '\r';
    buffer_[end_++] = '\n';
    return Status::OK();
  }

  Status Close() override {
    if (closed_) return BadHandleStatus(path_);
    closed_ = true;
    Status status;
    if (writing_) status = write_error_.ok() ? Flush() : write_error_;
    if (!CloseHandle(file_) && status.ok()) status = Win32Status(path_, GetLastError());
    buffer_.reset();
    if (!temporary_.empty()) {
      // Whole: it takes the name, replacing whatever stood there, a link included. Not whole:
      // the old file stays.
      if (status.ok() &&
          !MoveFileExA(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        status = Win32Status(path_, GetLastError());
      }
      if (!status.ok()) DeleteFileA(temporary_.c_str());
    }
    return status;
  }

 private:
  // True when unread bytes are in the buffer, reading the next block when needed.
  bool Fill() {
    if (begin_ < end_) return true;
    if (at_end_ || read_failed_) return false;
    begin_ = end_ = 0;
    DWORD count = 0;
    if (!ReadFile(file_, buffer_.get(), kBlockSize, &count, nullptr)) {
      read_failed_ = true;
      read_error_ = Win32Status(path_, GetLastError());
      return false;
    }
    if (count == 0) {
      at_end_ = true;
      return false;
    }
    end_ = count;
    return true;
  }

  Status Flush() {
    size_t pending = end_;
    end_ = 0;
    return WriteAll(buffer_.get(), pending);
  }

  Status WriteAll(const char* data, size_t size) {
    while (size > 0) {
      DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      DWORD count = 0;
      if (!WriteFile(file_, data, chunk, &count, nullptr) || count == 0) {
        write_error_ =
            Win32Status(path_, count == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_WRITE_FAULT
                                                                             : GetLastError());
        return write_error_;
      }
      data += count;
      size -= count;
    }
    return Status::OK();
  }

  HANDLE file_;
  std::string path_;  // as the caller gave it, for statuses
  bool writing_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;  // reading: the unread bytes are [begin_, end_)
  size_t end_ = 0;    // writing: the bytes not yet written are [0, end_)
  bool closed_ = false;
  bool at_end_ = false;
  bool read_failed_ = false;
  Status read_error_;
  Status write_error_;
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
