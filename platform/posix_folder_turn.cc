#include "platform/posix_folder_turn.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

#include "platform/errno_status.h"
#include "platform/folder_name_cache.h"
#include "platform/path_resolver.h"

namespace vorlintex {
namespace {

// While held, the run owns the folder: the names cache trusts what it read there.
class PosixFolderTurn final : public FolderTurn {
 public:
  PosixFolderTurn(int fd, std::shared_ptr<FolderNameCache> folders, std::string key)
      : fd_(fd), folders_(std::move(folders)), key_(std::move(key)) {
    folders_->Own(key_);
  }
  // Closing the folder's last descriptor lets the lock go.
  ~PosixFolderTurn() override {
    folders_->Disown(key_);
    close(fd_);
  }

 private:
  const int fd_;
  const std::shared_ptr<FolderNameCache> folders_;
  const std::string key_;
};

}  // namespace

Status TakePosixFolderTurn(std::shared_ptr<FolderNameCache> folders, const std::string& path,
                           bool wait, std::unique_ptr<FolderTurn>* turn) {
  turn->reset();
  if (path.find('\0') != std::string::npos) return ErrnoStatus(path, ENOENT);
  const std::string resolved = ResolveWindowsPath(*folders, path);
  const int fd =
      open(resolved.empty() ? "." : resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    return error == ENOENT || error == ENOTDIR ? ErrnoStatus(path, error)
                                               : Status::IOError(path, ErrnoText(error));
  }
  int locked;
  do {
    locked = flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return Status::Busy(path, kFolderBusyReason);
    // EINVAL or ENOLCK: a file system that keeps no locks (some network and FUSE ones).
    return Status::IOError(path, ErrnoText(error));
  }
  *turn = std::make_unique<PosixFolderTurn>(fd, std::move(folders), resolved);
  return Status::OK();
}

}  // namespace vorlintex
