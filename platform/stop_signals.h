// The signals that ask a server to stop (SIGINT, SIGTERM), taken synchronously by one thread
// instead of by a handler, so stopping may do anything a thread may.
#pragma once

#include <string>

namespace vorlintex {

// Blocks SIGINT and SIGTERM in the calling thread and every thread it starts afterwards. Call
// at the start of main, before any thread exists.
void BlockStopSignals();

// Waits until SIGINT or SIGTERM is delivered to the process; returns its name.
std::string WaitForStopSignal();

// Sends SIGTERM to this process, waking WaitForStopSignal (for a server that ended by itself).
void RaiseStopSignal();

}  // namespace vorlintex
