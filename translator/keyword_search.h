// The keywords the rules look for in a line's test copy (the normalised line in lower case)
// or its compact test copy (the test copy without its spaces), looked for in the line itself,
// so that no copy of the line has to be made just to test it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vorlintex::translator {

// A keyword that the rules search for in a line's test copy, searched for in the line itself:
// an ASCII letter of the line matches the keyword's lower-case letter in either case, and a
// space of the keyword matches a space or a tab, as it would in the normalised line. Every
// other byte matches only itself. The search looks at sixteen starts at a time where the
// processor allows it.
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

// The first occurrence, starting at or after `from`, of `pattern` in `text` read with every
// space removed and its letters in lower case, as the position in `text` of the occurrence's
// first byte; npos when there is none. `pattern` holds no space, its letters are lower case,
// and its byte at `anchor` is one that is rare in a page: only the places of that byte in
// `text` are tried.
size_t FindIgnoringSpaces(std::string_view text, size_t from, std::string_view pattern,
                          size_t anchor);

}  // namespace vorlintex::translator
