#include "translator/byte_search.h"

#include <cstddef>

#include "translator/simd.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

#if defined(VORLINTEX_SSE2)
using simd::CopySmall;
using simd::kBlock;
using simd::LoadBlock;
using simd::LoadTail;
using simd::LowestBit;
using simd::TailBlock;
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

}  // namespace vorlintex::translator
