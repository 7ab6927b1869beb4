#include "translator/byte_search.h"

#include <cstddef>
#include <cstring>

#include "translator/simd.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

#if defined(VORLINTEX_SSE2)
constexpr size_t kBlock = 16;

inline __m128i LoadBlock(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

inline unsigned LowestBit(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }

// The last starts of a search, from `at` to `last_start` (fewer than sixteen), as one block:
// where the text has room, the sixteen starts that end at `last_start`, overlapping the block
// before; otherwise the bytes from `at` copied into `padded`, zeros after them. `block` is
// the start the block's first byte stands for; the result holds one bit for each start left.
struct TailBlock {
  const char* bytes;
  size_t block;
  unsigned starts;
};

// Copies `size` bytes (fewer than 32) with copies of fixed sizes, which the compiler makes
// into plain moves: two that overlap when the size lies between two powers of two.
inline void CopySmall(char* to, const char* from, size_t size) {
  if (size >= 16) {
    std::memcpy(to, from, 16);
    std::memcpy(to + size - 16, from + size - 16, 16);
  } else if (size >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + size - 4, from + size - 4, 4);
  } else {
    for (size_t i = 0; i < size; ++i) to[i] = from[i];
  }
}

inline TailBlock LoadTail(std::string_view text, size_t at, size_t last_start,
                          char (&padded)[2 * kBlock]) {
  if (last_start + 1 >= kBlock) {
    size_t block = last_start + 1 - kBlock;
    return {text.data() + block, block, (~0u << (at - block)) & 0xFFFFu};
  }
  std::memset(padded, 0, sizeof padded);
  CopySmall(padded, text.data() + at, text.size() - at);
  return {padded, at, (1u << (last_start + 1 - at)) - 1};
}

inline __m128i LoadSpread(const void* spread) {
  return _mm_load_si128(static_cast<const __m128i*>(spread));
}
#endif

}  // namespace

size_t FindEitherByte(std::string_view text, size_t from, char a, char b) {
  if (from >= text.size()) return kNone;
  const char* data = text.data();
  size_t at = from;
#if defined(VORLINTEX_SSE2)
  const __m128i want_a = _mm_set1_epi8(a);
  const __m128i want_b = _mm_set1_epi8(b);
  auto matches = [&](const char* bytes) {
    __m128i block = LoadBlock(bytes);
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(block, want_a), _mm_cmpeq_epi8(block, want_b))));
  };
  for (; at + kBlock <= text.size(); at += kBlock) {
    if (unsigned mask = matches(data + at)) return at + LowestBit(mask);
  }
  if (at >= text.size()) return kNone;
  char padded[2 * kBlock];
  TailBlock tail = LoadTail(text, at, text.size() - 1, padded);
  unsigned mask = matches(tail.bytes) & tail.starts;
  return mask != 0 ? tail.block + LowestBit(mask) : kNone;
#else
  for (; at < text.size(); ++at) {
    if (data[at] == a || data[at] == b) return at;
  }
  return kNone;
#endif
}

char* CopyDoublingQuotes(std::string_view text, char placeholder, char* out) {
  const char* in = text.data();
  const char* end = in + text.size();
#if defined(VORLINTEX_SSE2)
  // Sixteen bytes go over at once; where one of them needs a change, the copy goes on from
  // that byte.
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i marker = _mm_set1_epi8(placeholder);
  while (end - in >= static_cast<std::ptrdiff_t>(kBlock)) {
    __m128i bytes = LoadBlock(in);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, marker))));
    if (mask == 0) {
      in += kBlock;
      out += kBlock;
      continue;
    }
    unsigned kept = LowestBit(mask);
    in += kept;
    out += kept;
    *out++ = '"';
    if (*in++ == '"') *out++ = '"';
  }
#endif
  for (; in < end; ++in) {
    if (*in == '"') {
      *out++ = '"';
      *out++ = '"';
    } else {
      *out++ = *in == placeholder ? '"' : *in;
    }
  }
  return out;
}

LineBytes FindLineBytes(std::string_view line) {
  LineBytes bytes;
  const char* data = line.data();
#if defined(VORLINTEX_SSE2)
  if (line.empty()) return bytes;
  __m128i tabs = _mm_setzero_si128();
  __m128i hashes = tabs;
  __m128i percents = tabs;
  __m128i quotes = tabs;
  __m128i at_signs = tabs;
  __m128i xs = tabs;
  __m128i bs = tabs;
  auto look = [&](const char* block) {
    __m128i raw = LoadBlock(block);
    tabs = _mm_or_si128(tabs, _mm_cmpeq_epi8(raw, _mm_set1_epi8('\t')));
    hashes = _mm_or_si128(hashes, _mm_cmpeq_epi8(raw, _mm_set1_epi8('#')));
    percents = _mm_or_si128(percents, _mm_cmpeq_epi8(raw, _mm_set1_epi8('%')));
    quotes = _mm_or_si128(quotes, _mm_cmpeq_epi8(raw, _mm_set1_epi8('"')));
    at_signs = _mm_or_si128(at_signs, _mm_cmpeq_epi8(raw, _mm_set1_epi8('@')));
    __m128i folded = _mm_or_si128(raw, _mm_set1_epi8(0x20));
    xs = _mm_or_si128(xs, _mm_cmpeq_epi8(folded, _mm_set1_epi8('x')));
    bs = _mm_or_si128(bs, _mm_cmpeq_epi8(folded, _mm_set1_epi8('b')));
  };
  if (line.size() >= kBlock) {
    for (size_t at = 0; at + kBlock < line.size(); at += kBlock) look(data + at);
    look(data + line.size() - kBlock);  // overlapping the block before: no harm in that
  } else {
    // A short line from a copy with zeros after it, which are none of the bytes.
    alignas(16) char padded[kBlock] = {};
    CopySmall(padded, data, line.size());
    look(padded);
  }
  bytes.tab = _mm_movemask_epi8(tabs) != 0;
  bytes.hash = _mm_movemask_epi8(hashes) != 0;
  bytes.percent = _mm_movemask_epi8(percents) != 0;
  bytes.quote = _mm_movemask_epi8(quotes) != 0;
  bytes.at_sign = _mm_movemask_epi8(at_signs) != 0;
  bytes.x = _mm_movemask_epi8(xs) != 0;
  bytes.b = _mm_movemask_epi8(bs) != 0;
#else
  for (size_t at = 0; at < line.size(); ++at) {
    switch (data[at]) {
      case '\t':
        bytes.tab = true;
        break;
      case '#':
        bytes.hash = true;
        break;
      case '%':
        bytes.percent = true;
        break;
      case '"':
        bytes.quote = true;
        break;
      case '@':
        bytes.at_sign = true;
        break;
      case 'x':
      case 'X':
        bytes.x = true;
        break;
      case 'b':
      case 'B':
        bytes.b = true;
        break;
      default:
        break;
    }
  }
#endif
  return bytes;
}

size_t SkipSpaces(std::string_view text, size_t from) {
  while (from < text.size() && text[from] == ' ') ++from;
  return from;
}

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

}  // namespace vorlintex::translator
