#include "translator/line_forms.h"

#include <cstring>

namespace vorlintex::translator {
namespace {

// AsciiLower without a branch, so that the loops over a line can be vectorised: the same
// folding, A-Z only.
inline char FoldAscii(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return static_cast<char>(byte | (static_cast<unsigned char>(byte - 'A') < 26 ? 0x20 : 0));
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
  char* out = test_copy->data();
  for (size_t i = 0; i < line.size(); ++i) out[i] = FoldAscii(line[i]);
}

void FormNormalisedTestCopy(std::string_view line, std::string* test_copy) {
  test_copy->resize(line.size());
  char* out = test_copy->data();
  for (size_t i = 0; i < line.size(); ++i) out[i] = line[i] == '\t' ? ' ' : FoldAscii(line[i]);
}

}  // namespace vorlintex::translator
