// The blocks open inside a procedure (If, For, Do, While, Select Case, With), innermost last.
// Its memory is bounded: past kMaxTrackedBlocks levels only the depth is counted, and the
// words closing those levels are taken as they come (a procedure that deep passes the size
// limit long before).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::modulecheck {

enum class BlockKind : unsigned char { kIf, kFor, kDo, kWhile, kSelect, kWith };

struct OpenBlock {
  BlockKind kind;
  size_t line;
  std::string counter;  // a For's control variable as written; empty for other blocks
};

// What a closing or middle word found.
struct BlockMatch {
  enum class Outcome : unsigned char {
    kMatched,     // the innermost block is of its kind
    kMismatched,  // another block is innermost: `open` names it
    kUnopened,    // no block is open
  };
  Outcome outcome = Outcome::kMatched;
  OpenBlock open{BlockKind::kIf, 0, {}};
};

class BlockStack {
 public:
  static constexpr size_t kMaxTrackedBlocks = 1024;

  void Open(BlockKind kind, size_t line, std::string_view counter = {});
  // Closes the innermost block, which should be of `kind` and, when `counter` is given, count
  // it. On a mismatch the blocks inside the nearest one of `kind` are closed with it; with none
  // of `kind` open nothing is closed.
  BlockMatch Close(BlockKind kind, std::string_view counter = {});
  // Else, ElseIf and Case: the innermost block must be of `kind`; nothing is closed.
  BlockMatch Middle(BlockKind kind) const;
  // Whether a block of `kind` is open at any depth above `floor` (Exit For, Exit Do).
  bool Within(BlockKind kind, size_t floor) const;

  size_t depth() const { return blocks_.size() + untracked_; }
  // Removes the blocks above `depth`, innermost first, into `unclosed` (tracked ones only).
  void Unwind(size_t depth, std::vector<OpenBlock>* unclosed);

 private:
  std::vector<OpenBlock> blocks_;
  size_t untracked_ = 0;
};

// "If", "For", "Do", "While", "Select Case", "With"; and the word that closes each.
std::string_view BlockName(BlockKind kind);
std::string_view BlockEnd(BlockKind kind);

}  // namespace vorlintex::modulecheck
