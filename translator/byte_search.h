// Searches the passes make on the bytes of a line as it was read, so that no lower-case or
// normalised copy of the line has to be made just to test it. Each search looks at sixteen
// bytes at a time where the processor allows it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vorlintex::translator {

// The first `a` or `b` at or after `from`; npos when there is none.
size_t FindEitherByte(std::string_view text, size_t from, char a, char b);

// The first byte at or after `from` that is no space (code 32); the size of `text` when there
// is none.
size_t SkipSpaces(std::string_view text, size_t from);

// A keyword that the rules search for in a line's test copy, searched for in the line itself:
// an ASCII letter of the line matches the keyword's lower-case letter in either case, and a
// space of the keyword matches a space or a tab, as it would in the normalised line. Every
// other byte matches only itself.
class Keyword {
 public:
  static constexpr size_t kMaxLength = 16;

  // `lower`: lower-case letters and other bytes, 1 to kMaxLength of them, not beginning with a
  // space.
  constexpr explicit Keyword(std::string_view lower)
      : lower_(lower),
        anchor_(LastNonSpace(lower)),
        rare_(RarestByte(lower)),
        fold_(FoldBits(lower)),
        first_(Spread(lower[0])),
        first_fold_(Spread(fold_[0])),
        last_(Spread(lower[anchor_])),
        last_fold_(Spread(fold_[anchor_])) {}

  // The first match that begins at or after `from`; npos when there is none.
  size_t FindIn(std::string_view text, size_t from = 0) const {
    if (text.size() < lower_.size() || from > text.size() - lower_.size()) {
      return std::string_view::npos;
    }
    return rare_ != kNoRareByte ? FindByRareByte(text, from) : FindByBlocks(text, from);
  }
  bool In(std::string_view text) const { return FindIn(text) != std::string_view::npos; }

 private:
  static constexpr size_t kNoRareByte = kMaxLength;
  // Sixteen copies of a byte, as the block comparisons take it.
  struct alignas(16) Spread16 {
    char bytes[16];
  };

  static constexpr size_t LastNonSpace(std::string_view text) {
    size_t at = text.size() - 1;
    while (at > 0 && text[at] == ' ') --at;
    return at;
  }
  // The byte of the keyword that is rarest in a page, when it holds one that is no letter and
  // no space: those bytes are looked for with memchr, which finds a rare byte fastest.
  static constexpr size_t RarestByte(std::string_view lower) {
    constexpr std::string_view kRareFirst = "%#!@^";
    constexpr std::string_view kCommonLast = "<>/\"=";
    size_t best = kNoRareByte;
    int best_rank = 0;
    for (size_t i = 0; i < lower.size() && i < kMaxLength; ++i) {
      char c = lower[i];
      if ((c >= 'a' && c <= 'z') || c == ' ') continue;
      int rank = kRareFirst.find(c) != std::string_view::npos    ? 3
                 : kCommonLast.find(c) == std::string_view::npos ? 2
                                                                 : 1;
      if (rank > best_rank) {
        best = i;
        best_rank = rank;
      }
    }
    return best;
  }
  // What each byte of the line is or-ed with before it is compared with the keyword's byte:
  // the case bit against a letter, so that 'B' and 'b' both become 'b' and no other byte does.
  static constexpr std::array<char, kMaxLength> FoldBits(std::string_view lower) {
    std::array<char, kMaxLength> fold{};
    for (size_t i = 0; i < lower.size() && i < kMaxLength; ++i) {
      fold[i] = lower[i] >= 'a' && lower[i] <= 'z' ? 0x20 : 0;
    }
    return fold;
  }
  static constexpr Spread16 Spread(char byte) {
    Spread16 spread{};
    for (char& b : spread.bytes) b = byte;
    return spread;
  }
  bool MatchesAt(const char* at) const;
  // FindIn for a text that has room for a match from `from` on.
  size_t FindByRareByte(std::string_view text, size_t from) const;
  size_t FindByBlocks(std::string_view text, size_t from) const;

  std::string_view lower_;
  // The candidates are the starts whose first byte and whose byte at `anchor_` both match.
  size_t anchor_;
  size_t rare_;  // kNoRareByte when every byte is a letter or a space
  std::array<char, kMaxLength> fold_;
  Spread16 first_;
  Spread16 first_fold_;
  Spread16 last_;
  Spread16 last_fold_;
};

// Copies `text` to `out` with every double quote doubled and, unless `placeholder` is itself
// the double quote, every `placeholder` turned into one double quote; returns the end of what
// was written. `out` must have room for twice the bytes of `text` and sixteen more.
char* CopyDoublingQuotes(std::string_view text, char placeholder, char* out);

// Which of a few bytes a line holds, found in one look at it: a line lacking one of them can
// skip the steps that need it.
struct LineBytes {
  bool tab = false;
  bool hash = false;
  bool percent = false;
  bool quote = false;
  bool at_sign = false;
  bool x = false;  // 'x' or 'X'
  bool b = false;  // 'b' or 'B', which "sub " cannot do without
};
LineBytes FindLineBytes(std::string_view line);

// A search that remembers its last answer, for a line whose rests after each "%>" are tested
// one after the other: the starts asked for only grow, so the line is searched once over in
// all, however many rests it has. `find` gives the first match at or after a start.
class NextMatch {
 public:
  using Finder = size_t (*)(std::string_view text, size_t from);

  constexpr explicit NextMatch(Finder find) : find_(find) {}

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
