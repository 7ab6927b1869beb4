#include "platform/random_id.h"

#include <sys/random.h>

#include <cerrno>

#include "platform/errno_status.h"

namespace vorlintex {

Status NewRandomId(std::string* id) {
  unsigned char bytes[16];
  size_t filled = 0;
  while (filled < sizeof bytes) {
    ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Status::Error("getrandom", ErrnoText(errno));
    }
    filled += static_cast<size_t>(got);
  }
  static constexpr char kHex[] = "0123456789abcdef";
  id->clear();
  id->reserve(2 * sizeof bytes);
  for (unsigned char byte : bytes) {
    id->push_back(kHex[byte >> 4]);
    id->push_back(kHex[byte & 0x0f]);
  }
  return Status::OK();
}

}  // namespace vorlintex
