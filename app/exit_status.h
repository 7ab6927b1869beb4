// What the vorlintex command's exit status tells a script.
#pragma once

namespace vorlintex::app {

inline constexpr int kExitOk = 0;
// A file operation failed (or the run could not be done at all).
inline constexpr int kExitFailed = 1;
// A missing include file ended the generation run.
inline constexpr int kExitMissingInclude = 2;
// Another run was writing into the target folder and --no-wait was given: nothing was written,
// and the same command may succeed later (as sysexits' EX_TEMPFAIL).
inline constexpr int kExitTargetBusy = 75;
// The command line was wrong (as sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;

}  // namespace vorlintex::app
