#include "platform/large_blocks.h"

#include <malloc.h>

namespace vorlintex {

void ReturnLargeBlocksToTheSystem() {
  // Setting the threshold at all turns off its adjustment; 128 KiB is its usual start.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

void ReturnFreeMemoryToTheSystem() { malloc_trim(0); }

}  // namespace vorlintex
