#include "modulecheck/line_scanner.h"

#include "contract/ascii.h"
#include "modulecheck/vb_names.h"

namespace vorlintex::modulecheck {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The code written so far ends where a statement may start: nothing yet, ":" or the word Then
// or Else.
bool AtStatementStart(std::string_view code, bool line_starts_statement) {
  code = TrimRight(code);
  if (code.empty()) return line_starts_statement;
  if (code.back() == ':') return true;
  size_t word = code.size();
  while (word > 0 && IsIdentifierChar(code[word - 1])) --word;
  const std::string_view last = code.substr(word);
  return (word == 0 || !IsIdentifierChar(code[word - 1])) &&
         (AsciiEqualIgnoringCase(last, "then") || AsciiEqualIgnoringCase(last, "else"));
}

bool MayStartStringOrComment(char c) { return c == '"' || c == '\'' || c == 'r' || c == 'R'; }

bool IsRemAt(std::string_view line, size_t i) {
  return i + 3 <= line.size() && AsciiEqualIgnoringCase(line.substr(i, 3), "rem") &&
         (i + 3 == line.size() || IsBlank(line[i + 3]) || line[i + 3] == ':');
}

}  // namespace

bool EndsInContinuation(std::string_view text) {
  text = TrimRight(text);
  return !text.empty() && text.back() == '_' &&
         (text.size() == 1 || IsBlank(text[text.size() - 2]));
}

void ScanLine(std::string_view line, bool statement_start, ScannedLine* out) {
  out->code.clear();
  out->continues = out->comment_continues = out->unclosed_string = false;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '"') {
      // The literal's contents cannot matter to any rule: keep its quotes only.
      size_t j = i + 1;
      bool closed = false;
      while (j < line.size()) {
        if (line[j] == '"') {
          if (j + 1 < line.size() && line[j + 1] == '"') {
            j += 2;
            continue;
          }
          closed = true;
          break;
        }
        ++j;
      }
      if (!closed) {
        out->unclosed_string = true;
        out->code += '"';
        return;
      }
      out->code += "\"\"";
      i = j + 1;
      continue;
    }
    const bool word_start = i == 0 || !IsIdentifierChar(line[i - 1]);
    if (c == '\'' ||
        (word_start && IsRemAt(line, i) && AtStatementStart(out->code, statement_start))) {
      out->comment_continues = EndsInContinuation(line.substr(i));
      break;
    }
    // Up to the next byte that may start a string or a comment, copied at once: most of a
    // module's lines are long runs of plain code.
    size_t end = i + 1;
    while (end < line.size() && !MayStartStringOrComment(line[end])) ++end;
    out->code.append(line, i, end - i);
    i = end;
  }
  if (!out->comment_continues && EndsInContinuation(out->code)) {
    out->continues = true;
    std::string_view code = TrimRight(out->code);
    out->code.resize(code.size() - 1);
  }
}

}  // namespace vorlintex::modulecheck
