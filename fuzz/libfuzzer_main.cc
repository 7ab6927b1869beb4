// The libFuzzer entry of one fuzz target; VORLINTEX_FUZZ_ENTRY names its entry function.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vorlintex::fuzz::VORLINTEX_FUZZ_ENTRY(data, size);
}
