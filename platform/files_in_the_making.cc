#include "platform/files_in_the_making.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/errno_status.h"
#include "platform/path_resolver.h"
#include "platform/temporary_name.h"

namespace vorlintex {
namespace {

// Removes the entry `name` of the open folder `folder` when it is an ordinary file nobody
// holds the lock of; true when it went.
bool RemoveWhenLeftOver(int folder, const char* name) {
  // Not followed: a link of that name is none of the program's files.
  const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool removed = false;
  // Removed while its lock is held, so a writer cannot come to it in between; a file system
  // without locks fails the lock, and then nothing is removed.
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
    removed = unlinkat(folder, name, 0) == 0;
  }
  close(fd);
  return removed;
}

}  // namespace

Status RemovePosixFilesInTheMaking(FolderNameCache& folders, const std::string& path,
                                   size_t* removed) {
  *removed = 0;
  if (path.find('\0') != std::string::npos) return ErrnoStatus(path, ENOENT);
  const std::string resolved = ResolveWindowsPath(folders, path);
  const int fd =
      open(resolved.empty() ? "." : resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return ErrnoStatus(path, errno);
  DIR* listing = fdopendir(fd);
  if (listing == nullptr) {
    const int error = errno;
    close(fd);
    return ErrnoStatus(path, error);
  }
  // Every entry is read before any is removed: what a listing gives once its folder changes
  // under it is left open by POSIX.
  std::vector<std::string> left_over;
  errno = 0;
  while (const dirent* entry = readdir(listing)) {
    if (IsTemporaryName(entry->d_name)) left_over.emplace_back(entry->d_name);
  }
  const int error = errno;
  Status status = error == 0 ? Status::OK() : ErrnoStatus(path, error);
  for (const std::string& name : left_over) {
    if (RemoveWhenLeftOver(dirfd(listing), name.c_str())) ++*removed;
  }
  closedir(listing);
  return status;
}

}  // namespace vorlintex
