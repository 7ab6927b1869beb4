#include "platform/temporary_name.h"

#include "contract/ascii.h"
#include "platform/random_id.h"

namespace vorlintex {
namespace {

constexpr std::string_view kPrefix = ".vorlintex-";
constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kDigits = 16;

}  // namespace

Status NewTemporaryName(std::string* name) {
  std::string id;
  if (Status made = NewRandomId(&id); !made.ok()) return made;
  *name = std::string(kPrefix) + id.substr(0, kDigits) + std::string(kSuffix);
  return Status::OK();
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigits + kSuffix.size()) return false;
  return AsciiEqualIgnoringCase(name.substr(0, kPrefix.size()), kPrefix) &&
         AsciiEqualIgnoringCase(name.substr(name.size() - kSuffix.size()), kSuffix);
}

}  // namespace vorlintex
