#include "platform/large_blocks.h"

// Any C library header says whether the library is the GNU one (__GLIBC__).
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vorlintex {

// Both are the GNU C library's. Other allocators keep no such threshold: the Windows heap takes
// its largest blocks from the system and gives them back when freed.
#if defined(__GLIBC__)
void ReturnLargeBlocksToTheSystem() {
  // Setting the threshold at all turns off its adjustment; 128 KiB is its usual start.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

void ReturnFreeMemoryToTheSystem() { malloc_trim(0); }
#else
void ReturnLargeBlocksToTheSystem() {}
void ReturnFreeMemoryToTheSystem() {}
#endif

}  // namespace vorlintex
