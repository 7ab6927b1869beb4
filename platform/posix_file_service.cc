#include "platform/posix_file_service.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "platform/errno_status.h"
#include "platform/path_resolver.h"

namespace vorlintex {
namespace {

// Reads and writes go through the stream's own buffer of this size, so a line costs no system
// call and no allocation.
constexpr size_t kBlockSize = 64 * 1024;

constexpr char kPastEnd[] = "Input past end of file";
constexpr char kNotAFile[] = "not an ordinary file (a pipe, device or socket), so it is not read";

class PosixTextStream final : public fs::TextStream {
 public:
  // A reading stream; `size` is the file's size when it was opened (0 says nothing: most of
  // /proc).
  PosixTextStream(int fd, std::string path, off_t size)
      : fd_(fd),
        path_(std::move(path)),
        writing_(false),
        buffer_(new char[kBlockSize]),
        size_(size) {}
  // A writing stream on the file in the making `file`, put in place when closed.
  PosixTextStream(int fd, std::string path, FileInTheMaking file)
      : fd_(fd),
        path_(std::move(path)),
        writing_(true),
        buffer_(new char[kBlockSize]),
        size_(0),
        file_(std::move(file)) {}

  ~PosixTextStream() override {
    if (!closed_) Close().IgnoreError();
  }

  bool AtEndOfStream() override {
    if (closed_ || writing_) return true;
    return !Fill();
  }

  Status ReadLine(std::string* line) override {
    if (closed_ || writing_) return ErrnoStatus(path_, EBADF);
    if (!Fill()) return read_failed_ ? read_error_ : Status::Error(path_, kPastEnd);
    line->clear();
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
    if (closed_ || !writing_) return ErrnoStatus(path_, EBADF);
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
    if (closed_) return ErrnoStatus(path_, EBADF);
    closed_ = true;
    Status status;
    if (writing_) status = write_error_.ok() ? Flush() : write_error_;
    // close(2) lets go of the descriptor even when it fails, so it is never retried; its error
    // (a delayed write error on some file systems) is still the caller's to know.
    if (close(fd_) != 0 && status.ok()) status = ErrnoStatus(path_, errno);
    buffer_.reset();
    if (!writing_) return status;
    // Only a whole file takes the name: after any failure the old file, or none, stays there.
    if (status.ok() && !PutInPlace(file_)) status = ErrnoStatus(path_, errno);
    if (!status.ok()) RemoveTemporary(file_);
    return status;
  }

 private:
  // True when unread bytes are in the buffer, reading the next block when needed.
  bool Fill() {
    if (begin_ < end_) return true;
    if (at_end_ || read_failed_) return false;
    begin_ = end_ = 0;
    ssize_t count;
    do {
      count = read(fd_, buffer_.get(), kBlockSize);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
      read_failed_ = true;
      read_error_ = ErrnoStatus(path_, errno);
      return false;
    }
    if (count == 0) {
      at_end_ = true;
      return false;
    }
    end_ = static_cast<size_t>(count);
    // A short read that reaches the size the file had when opened is its end: the read of 0
    // bytes that would confirm it is spared. Files whose size says nothing (a pipe, most of
    // /proc) read on until that read.
    read_so_far_ += count;
    if (size_ > 0 && read_so_far_ >= size_ && end_ < kBlockSize) at_end_ = true;
    return true;
  }

  Status Flush() {
    size_t pending = end_;
    end_ = 0;
    return WriteAll(buffer_.get(), pending);
  }

  Status WriteAll(const char* data, size_t size) {
    while (size > 0) {
      ssize_t count = write(fd_, data, size);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) {
        write_error_ = ErrnoStatus(path_, errno);
        return write_error_;
      }
      data += count;
      size -= static_cast<size_t>(count);
    }
    return Status::OK();
  }

  int fd_;
  std::string path_;  // as the caller gave it, for statuses
  bool writing_;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;  // reading: the unread bytes are [begin_, end_)
  size_t end_ = 0;    // writing: the bytes not yet written are [0, end_)
  bool closed_ = false;
  bool at_end_ = false;
  bool read_failed_ = false;
  const off_t size_;
  off_t read_so_far_ = 0;
  Status read_error_;
  Status write_error_;
  FileInTheMaking file_;  // writing only
};

// The operating system reads a path only up to its first NUL: such a path would name another
// file than the one asked for, so it names none.
bool HoldsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Opens the file, resolving letter case only when the exact spelling is not there.
int OpenResolved(const std::string& path, int flags) {
  std::string exact = PosixPathSpelling(path);
  int fd = open(exact.c_str(), flags | O_CLOEXEC);
  if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR)) return fd;
  std::string resolved = ResolveMissingSpelling(path);
  if (resolved == exact) {
    errno = ENOENT;
    return -1;
  }
  return open(resolved.c_str(), flags | O_CLOEXEC);
}

class PosixFileService final : public fs::TextFileService {
 public:
  Status CreateFolder(const std::string& path) override {
    if (HoldsNul(path)) return ErrnoStatus(path, EINVAL);
    if (!CreateAtWindowsPath(
            path, [](const std::string& resolved) { return mkdir(resolved.c_str(), 0777) == 0; })) {
      return ErrnoStatus(path, errno);
    }
    return Status::OK();
  }

  Status CreateTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return ErrnoStatus(path, EINVAL);
    // Resolved in full: a file that exists in another letter case is replaced under its own
    // spelling rather than joined by a second one. The new file is written beside it and
    // renamed over it when closed, so a link there is replaced rather than written through, and
    // a run cut short leaves no half-written file where a whole one stood.
    int fd = -1;
    FileInTheMaking file;
    if (!CreateBesideWindowsPath(
            path,
            [&](const std::string& temporary) {
              fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
              return fd >= 0;
            },
            &file)) {
      return ErrnoStatus(path, errno);
    }
    *stream = std::make_unique<PosixTextStream>(fd, path, std::move(file));
    return Status::OK();
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return ErrnoStatus(path, EINVAL);
    // Without O_NONBLOCK the open of a pipe with no writer would wait for one forever, and a
    // device's open may wait too; nothing but an ordinary file is read, so none is waited for.
    int fd = OpenResolved(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return ErrnoStatus(path, errno);
    // A folder opens for reading on POSIX; its first read would fail with this same reason.
    struct stat info;
    int error = fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (error == 0 && !S_ISREG(info.st_mode)) {
      close(fd);
      return Status::IOError(path, kNotAFile);
    }
    // O_NONBLOCK stays: on an ordinary file it changes nothing, reads wait for the disk as
    // they always do, and clearing it would cost two calls on every page and include read.
    if (error != 0) {
      close(fd);
      return ErrnoStatus(path, error);
    }
    *stream = std::make_unique<PosixTextStream>(fd, path, info.st_size);
    return Status::OK();
  }

  bool FileExists(const std::string& path) override {
    if (HoldsNul(path)) return false;
    struct stat info;
    std::string exact = PosixPathSpelling(path);
    if (stat(exact.c_str(), &info) != 0) {
      if (errno != ENOENT && errno != ENOTDIR) return false;
      std::string resolved = ResolveMissingSpelling(path);
      if (resolved == exact || stat(resolved.c_str(), &info) != 0) return false;
    }
    return S_ISREG(info.st_mode);
  }
};

}  // namespace

std::unique_ptr<fs::TextFileService> NewPosixFileService() {
  return std::make_unique<PosixFileService>();
}

std::optional<std::string> PosixFolderIdentity(const std::string& path) {
  if (HoldsNul(path)) return std::nullopt;
  struct stat info;
  std::string exact = PosixPathSpelling(path);
  if (exact.empty()) return std::nullopt;
  if (stat(exact.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
    std::string resolved = ResolveMissingSpelling(path);
    if (resolved == exact || stat(resolved.c_str(), &info) != 0) return std::nullopt;
  }
  if (!S_ISDIR(info.st_mode)) return std::nullopt;
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

}  // namespace vorlintex
