// The rules a fuzz input must not break are checked with FUZZ_CHECK: a broken rule prints what
// broke and for which input, then aborts, which libFuzzer records as a finding and a replay
// test as a crash of that test.
#pragma once

#include <string>

namespace vorlintex::fuzz {

// Names the input being run, for the message of a broken rule (a replay test sets the file
// name; libFuzzer prints the input itself).
void SetInputName(std::string name);

[[noreturn]] void BrokenRule(const char* rule, const char* file, int line);

}  // namespace vorlintex::fuzz

#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) ::vorlintex::fuzz::BrokenRule(#condition, __FILE__, __LINE__); \
  } while (false)
