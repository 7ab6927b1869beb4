#include "fuzz/fuzz_check.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vorlintex::fuzz {
namespace {

std::string& InputName() {
  static std::string name;
  return name;
}

}  // namespace

void SetInputName(std::string name) { InputName() = std::move(name); }

void BrokenRule(const char* rule, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken rule: %s\n", file, line, rule);
  if (!InputName().empty()) std::fprintf(stderr, "input: %s\n", InputName().c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace vorlintex::fuzz
