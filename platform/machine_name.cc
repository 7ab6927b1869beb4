#include "platform/machine_name.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace vorlintex {

Status MachineName(std::string* name) {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) {
    return Status::Error("gethostname", std::strerror(errno));
  }
  *name = buffer;
  return Status::OK();
}

}  // namespace vorlintex
