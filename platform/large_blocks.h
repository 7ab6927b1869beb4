// How the process's allocator treats large blocks.
#pragma once

namespace vorlintex {

// Makes every large block (a page being written, a request body) come from the system and go
// back to it when freed. By default the allocator raises that threshold after such a block is
// freed and keeps later ones in its heaps, so a burst of large answers leaves the process that
// much larger for good.
void ReturnLargeBlocksToTheSystem();

// Gives the system back the memory the allocator holds free, in every thread's heap. Freed
// small blocks otherwise stay with the process as long as a live one sits above them.
void ReturnFreeMemoryToTheSystem();

}  // namespace vorlintex
