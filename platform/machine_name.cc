#include "platform/machine_name.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/errno_status.h"

namespace vorlintex {

Status MachineName(std::string* name) {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) {
    return Status::Error("gethostname", ErrnoText(errno));
  }
  *name = buffer;
  return Status::OK();
}

}  // namespace vorlintex
