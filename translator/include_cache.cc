#include "translator/include_cache.h"

#include <utility>

namespace vorlintex::translator {

const KeptLines* IncludeCache::Find(const std::string& path) const {
  auto found = files_.find(path);
  return found == files_.end() ? nullptr : &found->second;
}

bool IncludeCache::HasRoomFor(size_t bytes) const {
  return bytes <= kLargestFileBytes && bytes <= kBudgetBytes - bytes_;
}

void IncludeCache::Keep(const std::string& path, KeptLines lines) {
  const size_t bytes = lines.bytes();
  if (!HasRoomFor(bytes) || files_.count(path) != 0) return;
  files_.emplace(path, std::move(lines));
  bytes_ += bytes;
}

}  // namespace vorlintex::translator
