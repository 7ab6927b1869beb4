#include "modulecheck/block_stack.h"

#include "contract/ascii.h"

namespace vorlintex::modulecheck {

void BlockStack::Open(BlockKind kind, size_t line, std::string_view counter) {
  if (blocks_.size() >= kMaxTrackedBlocks) {
    ++untracked_;
    return;
  }
  blocks_.push_back(OpenBlock{kind, line, std::string(counter)});
}

BlockMatch BlockStack::Close(BlockKind kind, std::string_view counter) {
  BlockMatch match = Middle(kind);
  if (untracked_ > 0) {
    --untracked_;
    return match;
  }
  if (match.outcome == BlockMatch::Outcome::kUnopened) return match;
  if (match.outcome == BlockMatch::Outcome::kMatched) {
    if (!counter.empty() && !blocks_.back().counter.empty() &&
        !AsciiEqualIgnoringCase(counter, blocks_.back().counter)) {
      match.outcome = BlockMatch::Outcome::kMismatched;
      match.open = blocks_.back();
    }
    blocks_.pop_back();
    return match;
  }
  for (size_t i = blocks_.size(); i-- > 0;) {
    if (blocks_[i].kind == kind) {
      blocks_.resize(i);
      break;
    }
  }
  return match;
}

BlockMatch BlockStack::Middle(BlockKind kind) const {
  BlockMatch match;
  if (untracked_ > 0) return match;
  if (blocks_.empty()) {
    match.outcome = BlockMatch::Outcome::kUnopened;
  } else if (blocks_.back().kind != kind) {
    match.outcome = BlockMatch::Outcome::kMismatched;
    match.open = blocks_.back();
  }
  return match;
}

bool BlockStack::Within(BlockKind kind, size_t floor) const {
  if (untracked_ > 0) return true;
  for (size_t i = blocks_.size(); i-- > floor;) {
    if (blocks_[i].kind == kind) return true;
  }
  return false;
}

void BlockStack::Unwind(size_t depth, std::vector<OpenBlock>* unclosed) {
  while (this->depth() > depth && untracked_ > 0) --untracked_;
  while (blocks_.size() > depth) {
    unclosed->push_back(std::move(blocks_.back()));
    blocks_.pop_back();
  }
}

std::string_view BlockName(BlockKind kind) {
  switch (kind) {
    case BlockKind::kIf:
      return "If";
    case BlockKind::kFor:
      return "For";
    case BlockKind::kDo:
      return "Do";
    case BlockKind::kWhile:
      return "While";
    case BlockKind::kSelect:
      return "Select Case";
    case BlockKind::kWith:
      return "With";
  }
  return "";
}

std::string_view BlockEnd(BlockKind kind) {
  switch (kind) {
    case BlockKind::kIf:
      return "End If";
    case BlockKind::kFor:
      return "Next";
    case BlockKind::kDo:
      return "Loop";
    case BlockKind::kWhile:
      return "Wend";
    case BlockKind::kSelect:
      return "End Select";
    case BlockKind::kWith:
      return "End With";
  }
  return "";
}

}  // namespace vorlintex::modulecheck
