#include "translator/line_forms.h"

#include "component/ascii.h"

namespace vorlintex::translator {

void TrimLeadingSpaces(std::string* line) {
  size_t first_kept = line->find_first_not_of(' ');
  if (first_kept == std::string::npos) first_kept = line->size();
  if (first_kept > 0) line->erase(0, first_kept);
}

void ReplaceTabsWithSpaces(std::string* line) {
  for (char& c : *line) {
    if (c == '\t') c = ' ';
  }
}

void NormaliseLine(std::string* line) {
  TrimLeadingSpaces(line);
  ReplaceTabsWithSpaces(line);
}

void FormTestCopy(std::string_view line, std::string* test_copy) {
  test_copy->resize(line.size());
  for (size_t i = 0; i < line.size(); ++i) (*test_copy)[i] = AsciiLower(line[i]);
}

void FormNormalisedTestCopy(std::string_view line, std::string* test_copy) {
  test_copy->resize(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    (*test_copy)[i] = line[i] == '\t' ? ' ' : AsciiLower(line[i]);
  }
}

}  // namespace vorlintex::translator
