#include "translator/line_rewrites.h"

#include <cstddef>
#include <cstring>

#include "translator/byte_search.h"
#include "translator/simd.h"

namespace vorlintex::translator {
void TrimLeadingSpaces(std::string* line) {
  size_t first_kept = SkipSpaces(*line, 0);
  if (first_kept > 0) line->erase(0, first_kept);
}

void ReplaceTabsWithSpaces(std::string* line) {
  char* data = line->data();
  const size_t size = line->size();
#if defined(VORLINTEX_SSE2)
  if (size >= 16) {
    // Sixteen bytes at a time, the last block overlapping the one before; a block is stored
    // back only when it held a tab.
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i tab_to_space = _mm_set1_epi8('\t' ^ ' ');
    auto replace_block = [&](size_t at) {
      __m128i* block = reinterpret_cast<__m128i*>(data + at);
      __m128i bytes = _mm_loadu_si128(block);
      __m128i tabs = _mm_cmpeq_epi8(bytes, tab);
      if (_mm_movemask_epi8(tabs) != 0) {
        _mm_storeu_si128(block, _mm_xor_si128(bytes, _mm_and_si128(tabs, tab_to_space)));
      }
    };
    for (size_t at = 0; at + 16 < size; at += 16) replace_block(at);
    replace_block(size - 16);
    return;
  }
#endif
  char* end = data + size;
  while ((data = static_cast<char*>(std::memchr(data, '\t', static_cast<size_t>(end - data)))) !=
         nullptr) {
    *data++ = ' ';
  }
}

void NormaliseLine(std::string* line) {
  TrimLeadingSpaces(line);
  ReplaceTabsWithSpaces(line);
}

char* CopyDoublingQuotes(std::string_view text, char placeholder, char* out) {
  const char* in = text.data();
  const char* end = in + text.size();
#if defined(VORLINTEX_SSE2)
  // Sixteen bytes go over at once; where one of them needs a change, the copy goes on from
  // that byte.
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i marker = _mm_set1_epi8(placeholder);
  while (end - in >= static_cast<std::ptrdiff_t>(simd::kBlock)) {
    __m128i bytes = simd::LoadBlock(in);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, marker))));
    if (mask == 0) {
      in += simd::kBlock;
      out += simd::kBlock;
      continue;
    }
    unsigned kept = simd::LowestBit(mask);
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

}  // namespace vorlintex::translator
