// The translator's byte loops take sixteen bytes at a time with SSE2 where the compiler targets
// it. VORLINTEX_NO_SIMD builds the plain loops instead, so that they are tested on machines that
// have SSE2 as well as on those that have not. With SSE2, the block loads the loops share are
// here.
#pragma once

#if defined(__SSE2__) && !defined(VORLINTEX_NO_SIMD)
#define VORLINTEX_SSE2 1
#include <emmintrin.h>

#include <cstddef>
#include <cstring>
#include <string_view>

namespace vorlintex::translator::simd {

constexpr size_t kBlock = 16;

inline __m128i LoadBlock(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// `spread` is sixteen aligned bytes.
inline __m128i LoadSpread(const void* spread) {
  return _mm_load_si128(static_cast<const __m128i*>(spread));
}

inline unsigned LowestBit(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }

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

// The last starts of a search, from `at` to `last_start` (fewer than sixteen), as one block:
// where the text has room, the sixteen starts that end at `last_start`, overlapping the block
// before; otherwise the bytes from `at` copied into `padded`, zeros after them. `block` is
// the start the block's first byte stands for; the result holds one bit for each start left.
struct TailBlock {
  const char* bytes;
  size_t block;
  unsigned starts;
};

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

}  // namespace vorlintex::translator::simd

#endif
