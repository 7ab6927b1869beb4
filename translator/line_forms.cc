#include "translator/line_forms.h"

#include <cstdint>
#include <cstring>

namespace vorlintex::translator {
namespace {

// AsciiLower without a branch, so that the loops over a line can be vectorised: the same
// folding, A-Z only.
inline char FoldAscii(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return static_cast<char>(byte | (static_cast<unsigned char>(byte - 'A') < 26 ? 0x20 : 0));
}

constexpr uint64_t kEachByte = 0x0101010101010101ULL;
constexpr uint64_t kHighBits = 0x80 * kEachByte;
constexpr uint64_t kLowSevenBits = 0x7F * kEachByte;

// FoldAscii on the eight bytes of a word at once. A byte is an upper-case letter when its
// high bit is clear and its low seven bits lie from 'A' to 'Z'; adding to the low seven bits
// of each byte never carries into the next byte.
inline uint64_t FoldAsciiWord(uint64_t word) {
  uint64_t low = word & kLowSevenBits;
  uint64_t from_a = low + (0x80 - 'A') * kEachByte;      // high bit: low >= 'A'
  uint64_t past_z = low + (0x80 - 'Z' - 1) * kEachByte;  // high bit: low > 'Z'
  uint64_t upper = (from_a ^ past_z) & ~word & kHighBits;
  return word | (upper >> 2);  // 0x80 >> 2 is the case bit, 0x20
}

// Every tab byte of the word becomes a space.
inline uint64_t TabsToSpacesWord(uint64_t word) {
  uint64_t x = word ^ ('\t' * kEachByte);  // tab bytes are now zero
  uint64_t zero = ~(((x & kLowSevenBits) + kLowSevenBits) | x | kLowSevenBits);
  return word ^ ((zero >> 7) * ('\t' ^ ' '));
}

// Applies `word_form` to whole words of `line` and `byte_form` to the bytes after them,
// writing to `out` (the same length).
template <typename WordForm, typename ByteForm>
void FormCopy(std::string_view line, char* out, WordForm word_form, ByteForm byte_form) {
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= line.size(); i += sizeof(uint64_t)) {
    uint64_t word;
    std::memcpy(&word, line.data() + i, sizeof word);
    word = word_form(word);
    std::memcpy(out + i, &word, sizeof word);
  }
  for (; i < line.size(); ++i) out[i] = byte_form(line[i]);
}

}  // namespace

void TrimLeadingSpaces(std::string* line) {
  size_t first_kept = line->find_first_not_of(' ');
  if (first_kept == std::string::npos) first_kept = line->size();
  if (first_kept > 0) line->erase(0, first_kept);
}

void ReplaceTabsWithSpaces(std::string* line) {
  char* at = line->data();
  char* end = at + line->size();
  while ((at = static_cast<char*>(std::memchr(at, '\t', end - at))) != nullptr) *at++ = ' ';
}

void NormaliseLine(std::string* line) {
  TrimLeadingSpaces(line);
  ReplaceTabsWithSpaces(line);
}

void FormTestCopy(std::string_view line, std::string* test_copy) {
  test_copy->resize(line.size());
  FormCopy(line, test_copy->data(), FoldAsciiWord, FoldAscii);
}

void FormNormalisedTestCopy(std::string_view line, std::string* test_copy) {
  test_copy->resize(line.size());
  FormCopy(
      line, test_copy->data(), [](uint64_t word) { return FoldAsciiWord(TabsToSpacesWord(word)); },
      [](char c) { return c == '\t' ? ' ' : FoldAscii(c); });
}

}  // namespace vorlintex::translator
