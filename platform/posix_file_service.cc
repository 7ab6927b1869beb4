#include "platform/posix_file_service.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/block_text_stream.h"
#include "platform/errno_status.h"
#include "platform/folder_name_cache.h"
#include "platform/path_resolver.h"

namespace vorlintex {
namespace {

constexpr char kNotAFile[] = "not an ordinary file (a pipe, device or socket), so it is not read";

class PosixTextStream final : public BlockTextStream {
 public:
  // A reading stream; `size` is the file's size when it was opened (0 says nothing: most of
  // /proc).
  PosixTextStream(int fd, std::string path, off_t size)
      : BlockTextStream(std::move(path), /*writing=*/false), fd_(fd), size_(size) {}
  // A writing stream on the file in the making `file`, put in place when closed.
  PosixTextStream(int fd, std::string path, FileInTheMaking file,
                  std::shared_ptr<FolderNameCache> folders)
      : BlockTextStream(std::move(path), /*writing=*/true),
        fd_(fd),
        size_(0),
        file_(std::move(file)),
        folders_(std::move(folders)) {}

  ~PosixTextStream() override {
    if (!closed()) Close().IgnoreError();
  }

  Status Close() override {
    if (closed()) return Misuse();
    Status status = Finish();
    // close(2) lets go of the descriptor even when it fails, so it is never retried; its error
    // (a delayed write error on some file systems) is still the caller's to know.
    if (close(fd_) != 0 && status.ok()) status = ErrnoStatus(path(), errno);
    if (!writing()) return status;
    // Only a whole file takes the name: after any failure the old file, or none, stays there.
    if (status.ok() && !PutInPlace(*folders_, file_)) status = ErrnoStatus(path(), errno);
    if (!status.ok()) RemoveTemporary(*folders_, file_);
    return status;
  }

  Status Abandon() override {
    if (closed()) return Misuse();
    Drop();
    // The descriptor is let go either way; a written file's close error concerns bytes that
    // are thrown away.
    const bool closed_well = close(fd_) == 0;
    if (!writing()) return closed_well ? Status::OK() : ErrnoStatus(path(), errno);
    if (!RemoveTemporary(*folders_, file_)) return ErrnoStatus(path(), errno);
    return Status::OK();
  }

 private:
  Status ReadBlock(char* into, size_t capacity, size_t* count, bool* last) override {
    ssize_t got;
    do {
      got = read(fd_, into, capacity);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return ErrnoStatus(path(), errno);
    *count = static_cast<size_t>(got);
    // A short read that reaches the size the file had when opened is its end: the read of 0
    // bytes that would confirm it is spared. Files whose size says nothing (a pipe, most of
    // /proc) read on until that read.
    read_so_far_ += got;
    *last = size_ > 0 && read_so_far_ >= size_ && *count < capacity;
    return Status::OK();
  }

  Status WriteBlock(const char* data, size_t size) override {
    while (size > 0) {
      ssize_t count = write(fd_, data, size);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) return ErrnoStatus(path(), errno);
      data += count;
      size -= static_cast<size_t>(count);
    }
    return Status::OK();
  }

  Status Misuse() const override { return ErrnoStatus(path(), EBADF); }

  int fd_;
  const off_t size_;
  off_t read_so_far_ = 0;
  FileInTheMaking file_;                      // writing only
  std::shared_ptr<FolderNameCache> folders_;  // writing only
};

// A file at an output name is read-only when nobody may write it by its mode (what "chmod a-w"
// makes, and what Wine shows as the read-only attribute) or this process may not write it. The
// mode is asked first because a process of root passes every permission check.
bool IsReadOnly(const FileInTheMaking& file) {
  if (!file.replaces_file) return false;
  if ((file.replaced_mode & 0222) == 0) return true;
  // Its owner may write it when its mode says so (an access list's owner entry is those bits),
  // which is the common case of a run replacing its own earlier files: nothing to ask.
  static const uid_t user = geteuid();
  if (file.replaced_owner == user && (file.replaced_mode & S_IWUSR) != 0) return false;
  return faccessat(AT_FDCWD, file.path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The operating system reads a path only up to its first NUL: such a path would name another
// file than the one asked for, so it names none.
bool HoldsNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Opens the file, resolving letter case only when the exact spelling is not there.
int OpenResolved(FolderNameCache& folders, const std::string& path, int flags) {
  std::string exact = PosixPathSpelling(path);
  int fd = open(exact.c_str(), flags | O_CLOEXEC);
  if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR)) return fd;
  std::string resolved = ResolveMissingSpelling(folders, path);
  if (resolved == exact) {
    errno = ENOENT;
    return -1;
  }
  return open(resolved.c_str(), flags | O_CLOEXEC);
}

class PosixFileService final : public fs::TextFileService {
 public:
  explicit PosixFileService(std::shared_ptr<FolderNameCache> folders)
      : folders_(std::move(folders)) {}

  Status CreateFolder(const std::string& path) override {
    if (HoldsNul(path)) return ErrnoStatus(path, EINVAL);
    if (!CreateAtWindowsPath(*folders_, path, [](const std::string& resolved) {
          return mkdir(resolved.c_str(), 0777) == 0;
        })) {
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
    bool read_only = false;
    FileInTheMaking file;
    if (!CreateBesideWindowsPath(
            *folders_, path,
            [&](const std::string& temporary) {
              // The rename needs only the folder's permission, so the file's own is asked here.
              if (IsReadOnly(file)) {
                read_only = true;
                errno = EACCES;
                return false;
              }
              fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
              return fd >= 0;
            },
            &file)) {
      if (read_only) return Status::ReadOnly(path, fs::kReadOnlyReason);
      return ErrnoStatus(path, errno);
    }
    // A replaced file's permission bits stay with its name (a group's write, an owner-only
    // file); the owner is the process's, as for any file it makes.
    if (file.replaces_file && fchmod(fd, file.replaced_mode & 0777) != 0) {
      const int error = errno;
      close(fd);
      RemoveTemporary(*folders_, file);
      return ErrnoStatus(path, error);
    }
    // Held while the file is in the making: a run that clears the folder of files in the making
    // left by killed runs passes over it. Where the file system has no locks it goes without.
    flock(fd, LOCK_EX | LOCK_NB);
    *stream = std::make_unique<PosixTextStream>(fd, path, std::move(file), folders_);
    return Status::OK();
  }

  Status OpenTextFile(const std::string& path, std::unique_ptr<fs::TextStream>* stream) override {
    stream->reset();
    if (HoldsNul(path)) return ErrnoStatus(path, EINVAL);
    // Without O_NONBLOCK the open of a pipe with no writer would wait for one forever, and a
    // device's open may wait too; nothing but an ordinary file is read, so none is waited for.
    int fd = OpenResolved(*folders_, path, O_RDONLY | O_NONBLOCK);
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
      std::string resolved = ResolveMissingSpelling(*folders_, path);
      if (resolved == exact || stat(resolved.c_str(), &info) != 0) return false;
    }
    return S_ISREG(info.st_mode);
  }

 private:
  const std::shared_ptr<FolderNameCache> folders_;
};

}  // namespace

std::unique_ptr<fs::TextFileService> NewPosixFileService(std::shared_ptr<FolderNameCache> folders) {
  return std::make_unique<PosixFileService>(std::move(folders));
}

std::optional<std::string> PosixFolderIdentity(FolderNameCache& folders, const std::string& path) {
  if (HoldsNul(path)) return std::nullopt;
  struct stat info;
  std::string exact = PosixPathSpelling(path);
  if (exact.empty()) return std::nullopt;
  if (stat(exact.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
    std::string resolved = ResolveMissingSpelling(folders, path);
    if (resolved == exact || stat(resolved.c_str(), &info) != 0) return std::nullopt;
  }
  if (!S_ISDIR(info.st_mode)) return std::nullopt;
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

}  // namespace vorlintex
