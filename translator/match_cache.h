// A search that remembers its last answer, for a line whose rests after each "%>" are tested
// one after the other: the starts asked for only grow, so the line is searched once over in
// all, however many rests it has.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorlintex::translator {

class MatchCache {
 public:
  // The first match in a text at or after a start; npos when there is none.
  using Finder = size_t (*)(std::string_view text, size_t from);

  constexpr explicit MatchCache(Finder find) : find_(find) {}

  // Forgets the answers: `text` is a new line.
  void Reset() { searched_ = false; }
  // The answer for a new line known to hold no match.
  void ResetToNone() {
    searched_ = true;
    found_ = std::string_view::npos;
  }
  // True when a match begins in `text` at or after `from`.
  bool InFrom(std::string_view text, size_t from) {
    // A match found at or after `from` is still the first one from `from`, and no match found
    // means none after any later start either.
    if (!searched_ || (found_ != std::string_view::npos && found_ < from)) {
      found_ = find_(text, from);
      searched_ = true;
    }
    return found_ != std::string_view::npos;
  }

 private:
  Finder find_;
  bool searched_ = false;
  size_t found_ = std::string_view::npos;
};

}  // namespace vorlintex::translator
