#include "modulecheck/line_scanner.h"

#include <array>

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

// The bytes where a string or a comment may start: a quote, an apostrophe, the R of Rem.
constexpr auto kMayStartStringOrComment = [] {
  std::array<bool, 256> bytes{};
  bytes['"'] = bytes['\''] = bytes['r'] = bytes['R'] = true;
  return bytes;
}();

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
  // Plain code is copied a run at a time: from `run` up to the next string, comment or end.
  size_t run = 0;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (!kMayStartStringOrComment[static_cast<unsigned char>(c)]) {
      ++i;
      continue;
    }
    if (c == '"') {
      out->code.append(line, run, i - run);
      // The literal's contents cannot matter to any rule: keep its quotes only. A doubled
      // quote inside it is one quote.
      size_t j = i + 1;
      while (true) {
        const size_t quote = line.find('"', j);
        if (quote == std::string_view::npos) {
          out->unclosed_string = true;
          out->code += '"';
          return;
        }
        if (quote + 1 < line.size() && line[quote + 1] == '"') {
          j = quote + 2;
          continue;
        }
        j = quote;
        break;
      }
      out->code += "\"\"";
      i = run = j + 1;
      continue;
    }
    if (c == '\'') {
      out->code.append(line, run, i - run);
      out->comment_continues = EndsInContinuation(line.substr(i));
      run = line.size();
      break;
    }
    if ((c == 'r' || c == 'R') && (i == 0 || !IsIdentifierChar(line[i - 1])) && IsRemAt(line, i)) {
      out->code.append(line, run, i - run);
      run = i;
      if (AtStatementStart(out->code, statement_start)) {
        out->comment_continues = EndsInContinuation(line.substr(i));
        run = line.size();
        break;
      }
    }
    ++i;
  }
  out->code.append(line, run);
  if (!out->comment_continues && EndsInContinuation(out->code)) {
    out->continues = true;
    std::string_view code = TrimRight(out->code);
    out->code.resize(code.size() - 1);
  }
}

}  // namespace vorlintex::modulecheck
