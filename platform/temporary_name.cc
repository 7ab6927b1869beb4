#include "platform/temporary_name.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include "contract/ascii.h"
#include "platform/random_id.h"

namespace vorlintex {
namespace {

constexpr std::string_view kPrefix = ".vorlintex-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kDigits = 16;

}  // namespace

Status NewTemporaryName(std::string* name) {
  // One random seed per process, then a counter through a mixing function: every output file
  // needs a name, and asking the system for randomness each time costs a call per file. The
  // names need not be secret, only unlikely to meet: the create refuses a name that exists.
  static std::once_flag seeded;
  static Status seed_status;
  static uint64_t seed = 0;
  std::call_once(seeded, [] {
    std::string id;
    seed_status = NewRandomId(&id);
    if (seed_status.ok()) seed = std::stoull(id.substr(0, kDigits), nullptr, 16);
  });
  if (!seed_status.ok()) return seed_status;
  static std::atomic<uint64_t> counter{0};
  uint64_t value = seed + 0x9e3779b97f4a7c15ULL * (counter.fetch_add(1) + 1);
  value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
  value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
  value ^= value >> 31;
  static constexpr char kHex[] = "0123456789abcdef";
  name->assign(kPrefix);
  for (int shift = 60; shift >= 0; shift -= 4) name->push_back(kHex[(value >> shift) & 0xf]);
  name->append(kSuffix);
  return Status::OK();
}

}  // namespace vorlintex
