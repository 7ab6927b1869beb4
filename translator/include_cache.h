// The include files read whole in one run, kept so that the many pages naming one file do not
// each open and read it again: on a site nearly every page names the same few files.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "contract/kept_lines.h"

namespace vorlintex::translator {

class IncludeCache {
 public:
  // What is kept stays within these, whatever the site: a file that does not fit is read from
  // its file each time, as without the cache.
  static constexpr size_t kBudgetBytes = size_t{4} << 20;
  static constexpr size_t kLargestFileBytes = size_t{1} << 20;

  // The lines of the include file at `path` (exactly as spelled), when it was kept.
  const KeptLines* Find(const std::string& path) const;
  // True when lines of `bytes` bytes (KeptLines::bytes) could still be kept.
  bool HasRoomFor(size_t bytes) const;
  // Keeps the lines of the file at `path`, read to its end without a failure, when they fit.
  void Keep(const std::string& path, KeptLines lines);

 private:
  std::unordered_map<std::string, KeptLines> files_;
  size_t bytes_ = 0;
};

}  // namespace vorlintex::translator
