// Lines kept in memory one after another, without their line ends: one allocation for the
// text and one for where each line ends, however many lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex {

class KeptLines {
 public:
  void Add(std::string_view line) {
    text_.append(line);
    ends_.push_back(text_.size());
  }
  // Empties them, keeping the storage for the next lines.
  void Clear() {
    text_.clear();
    ends_.clear();
  }

  size_t size() const { return ends_.size(); }
  std::string_view Line(size_t i) const {
    const size_t start = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(start, ends_[i] - start);
  }
  // Every line one after another, and where each ends in it.
  std::string_view text() const { return text_; }
  const std::vector<size_t>& ends() const { return ends_; }
  // What they hold in memory.
  size_t bytes() const { return text_.size() + ends_.size() * sizeof(size_t); }

 private:
  std::string text_;
  std::vector<size_t> ends_;
};

}  // namespace vorlintex
