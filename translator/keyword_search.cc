#include "translator/keyword_search.h"

#include <cstring>

#include "contract/ascii.h"
#include "translator/byte_search.h"
#include "translator/simd.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

#if defined(VORLINTEX_SSE2)
using simd::kBlock;
using simd::LoadBlock;
using simd::LoadSpread;
using simd::LoadTail;
using simd::LowestBit;
using simd::TailBlock;
#endif

// The next place of `byte` (either case when it is a letter) at or after `from`.
size_t FindAnchor(std::string_view text, size_t from, char byte) {
  if (byte >= 'a' && byte <= 'z') {
    return FindEitherByte(text, from, byte, static_cast<char>(byte - 'a' + 'A'));
  }
  if (from >= text.size()) return kNone;
  const void* found = std::memchr(text.data() + from, byte, text.size() - from);
  return found == nullptr ? kNone
                          : static_cast<size_t>(static_cast<const char*>(found) - text.data());
}

// The place of the next byte that is no space, before `at` (step -1) or after it (step 1);
// npos when there is none.
size_t NextNonSpace(std::string_view text, size_t at, int step) {
  for (;;) {
    if (step < 0 ? at == 0 : at + 1 >= text.size()) return kNone;
    at = step < 0 ? at - 1 : at + 1;
    if (text[at] != ' ') return at;
  }
}

}  // namespace

bool Keyword::MatchesAt(const char* at) const {
  for (size_t i = 0; i < lower_.size(); ++i) {
    char want = lower_[i];
    if (static_cast<char>(at[i] | fold_[i]) != want && !(want == ' ' && at[i] == '\t')) {
      return false;
    }
  }
  return true;
}

size_t Keyword::FindByRareByte(std::string_view text, size_t from) const {
  const char* data = text.data();
  const size_t last_start = text.size() - lower_.size();
  // The rare byte of a match starting at `start` stands at `start + rare_`.
  size_t at = from + rare_;
  while (at <= last_start + rare_) {
    const void* found = std::memchr(data + at, lower_[rare_], last_start + rare_ + 1 - at);
    if (found == nullptr) break;
    size_t start = static_cast<size_t>(static_cast<const char*>(found) - data) - rare_;
    if (MatchesAt(data + start)) return start;
    at = start + rare_ + 1;
  }
  return kNone;
}

size_t Keyword::FindByBlocks(std::string_view text, size_t from) const {
  const char* data = text.data();
  const size_t last_start = text.size() - lower_.size();  // the last start a match fits at
  size_t at = from;
#if defined(VORLINTEX_SSE2)
  // The first match among sixteen starts from `block`, the bytes of the first at `bytes`:
  // only starts whose first byte and anchor byte both match are checked in full.
  auto first_match = [&](const char* bytes, size_t block, unsigned starts) {
    __m128i firsts = _mm_or_si128(LoadBlock(bytes), LoadSpread(first_fold_.bytes));
    __m128i anchors = _mm_or_si128(LoadBlock(bytes + anchor_), LoadSpread(last_fold_.bytes));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(firsts, LoadSpread(first_.bytes)),
                                        _mm_cmpeq_epi8(anchors, LoadSpread(last_.bytes)))));
    for (mask &= starts; mask != 0; mask &= mask - 1) {
      size_t start = block + LowestBit(mask);
      if (MatchesAt(data + start)) return start;
    }
    return kNone;
  };
  // A block of starts reads no byte past the match of its last start.
  for (; at + kBlock <= last_start + 1; at += kBlock) {
    if (size_t found = first_match(data + at, at, 0xFFFFu); found != kNone) return found;
  }
  if (at > last_start) return kNone;
  char padded[2 * kBlock];
  TailBlock tail = LoadTail(text, at, last_start, padded);
  return first_match(tail.bytes, tail.block, tail.starts);
#else
  for (; at <= last_start; ++at) {
    if (MatchesAt(data + at)) return at;
  }
  return kNone;
#endif
}

size_t FindIgnoringSpaces(std::string_view text, size_t from, std::string_view pattern,
                          size_t anchor) {
  // The occurrences come in the order of their anchor bytes, so the first one whose first
  // byte lies at or after `from` is the answer. Each try reads no more bytes that are not
  // spaces than the pattern holds, and a run of spaces is crossed by no more tries than that
  // either, so the search stays linear in the length of `text`.
  for (size_t place = FindAnchor(text, from, pattern[anchor]); place != kNone;
       place = FindAnchor(text, place + 1, pattern[anchor])) {
    size_t start = place;
    bool matched = true;
    for (size_t k = anchor; matched && k-- > 0;) {
      start = NextNonSpace(text, start, -1);
      matched = start != kNone && AsciiLower(text[start]) == pattern[k];
    }
    if (!matched || start < from) continue;
    size_t at = place;
    for (size_t k = anchor + 1; matched && k < pattern.size(); ++k) {
      at = NextNonSpace(text, at, 1);
      matched = at != kNone && AsciiLower(text[at]) == pattern[k];
    }
    if (matched) return start;
  }
  return kNone;
}

}  // namespace vorlintex::translator
