// A source page read from its file once for the three passes: the first pass reads the file
// through a stream that keeps its lines, and the two after it read the kept lines, so a page
// costs one open and one read of its bytes rather than three. A page too large to keep, or one
// whose first reading failed or stopped short, is opened again for each pass, as it always was.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/kept_lines.h"
#include "contract/text_file_service.h"

namespace vorlintex::translator {

class KeptPage {
 public:
  // Larger pages are read from their file by each pass: what the run holds stays small.
  static constexpr size_t kLargestPageBytes = size_t{2} << 20;

  explicit KeptPage(size_t largest_bytes = kLargestPageBytes) : largest_bytes_(largest_bytes) {}

  // `file`, opened for reading at its first line, read through a stream that keeps its lines.
  std::unique_ptr<fs::TextStream> Keep(std::string path, std::unique_ptr<fs::TextStream> file);
  // True once the stream Keep gave was read to its end and closed without a failure.
  bool whole() const { return whole_; }
  // The kept lines one after another, without their line ends; only when whole().
  std::string_view text() const { return lines_.text(); }
  // Where each kept line ends in text(); only when whole().
  const std::vector<size_t>& ends() const { return lines_.ends(); }
  // A stream at the first line of the kept lines; only when whole().
  std::unique_ptr<fs::TextStream> Read() const;

 private:
  class KeepingStream;
  class KeptStream;

  size_t largest_bytes_;
  std::string path_;
  KeptLines lines_;
  std::vector<fs::LineEnd> line_ends_;  // how each line ended
  bool whole_ = false;
};

}  // namespace vorlintex::translator
