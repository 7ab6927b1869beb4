#include "compilable/statements.h"

#include <string>

#include "compilable/identifiers.h"
#include "contract/ascii.h"

namespace vorlintex::compilable {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\n')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

// True when the words so far make a one-line If: "If ... Then" with a statement after Then.
// Told as ":" comes, so Then has been seen and something stands after it.
bool InOneLineIf(std::string_view statement) {
  // Most statements are no If: tell them by their first bytes, without reading their words.
  std::string_view lead = Trim(statement);
  if (lead.size() < 2 || (AsciiLower(lead[0]) != 'i' && AsciiLower(lead[0]) != 'e')) return false;
  std::vector<Word> words = WordsOf(statement);
  if (words.empty() || (words[0].lower != "if" && words[0].lower != "elseif")) return false;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i].lower == "then") {
      const char* after_then = words[i].text.data() + words[i].text.size();
      const char* end = statement.data() + statement.size();
      return !Trim(std::string_view(after_then, end - after_then)).empty();
    }
  }
  return false;
}

}  // namespace

std::vector<Statement> SplitStatements(std::string_view code, int first_line) {
  std::vector<Statement> statements;
  size_t start = 0;
  int line = first_line;
  int start_line = first_line;
  bool in_string = false;
  bool in_comment = false;
  auto finish = [&](size_t end) {
    std::string_view text = code.substr(start, end - start);
    // The statement's line is that of its first byte that is not a space.
    int lead_lines = 0;
    size_t lead = 0;
    while (lead < text.size() && (IsBlank(text[lead]) || text[lead] == '\n')) {
      if (text[lead] == '\n') ++lead_lines;
      ++lead;
    }
    std::string_view trimmed = Trim(text);
    if (!trimmed.empty()) statements.push_back({trimmed, start_line + lead_lines});
  };
  for (size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c == '\n') {
      in_string = false;
      in_comment = false;
      // A "_" after a space, last on the line, continues the statement on the next line.
      size_t j = i;
      while (j > start && IsBlank(code[j - 1])) --j;
      bool continued = j > start && code[j - 1] == '_' && (j - 1 == start || IsBlank(code[j - 2]));
      ++line;
      if (!continued) {
        finish(i);
        start = i + 1;
        start_line = line;
      }
    } else if (in_string) {
      if (c == '"') in_string = false;
    } else if (in_comment) {
      continue;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '\'') {
      in_comment = true;
    } else if (c == ':' && !InOneLineIf(code.substr(start, i - start))) {
      finish(i);
      start = i + 1;
      start_line = line;
    } else if ((c == 'r' || c == 'R') && (i == start || !IsNameByte(code[i - 1])) &&
               code.size() - i >= 3 && AsciiEqualIgnoringCase(code.substr(i, 3), "rem") &&
               (code.size() - i == 3 || IsBlank(code[i + 3])) &&
               Trim(code.substr(start, i - start)).empty()) {
      in_comment = true;
    }
  }
  finish(code.size());
  return statements;
}

std::vector<Word> WordsOf(std::string_view statement) {
  std::vector<Word> words;
  char last = ' ';
  for (size_t i = 0; i < statement.size();) {
    char c = statement[i];
    if (c == '"') {
      size_t close = i + 1;
      while (close < statement.size() && statement[close] != '"' && statement[close] != '\n') {
        ++close;
      }
      i = close + 1;
      last = '"';
    } else if (c == '\'') {
      while (i < statement.size() && statement[i] != '\n') ++i;
    } else if (IsLetter(c)) {
      size_t end = i;
      while (end < statement.size() && IsNameByte(statement[end])) ++end;
      Word word{AsciiLower(statement.substr(i, end - i)), statement.substr(i, end - i), last};
      if (word.lower == "rem" && words.empty()) break;
      size_t next = end;
      while (next < statement.size() && IsBlank(statement[next])) ++next;
      if (next < statement.size()) word.after = statement[next];
      words.push_back(std::move(word));
      last = 'a';
      i = end;
    } else {
      if (!IsBlank(c) && c != '\n') last = c;
      ++i;
    }
  }
  return words;
}

StatementShape ShapeOf(std::string_view statement) {
  StatementShape shape;
  std::vector<Word> words = WordsOf(statement);
  if (words.empty()) {
    shape.shape = statement.empty() ? Shape::kOther : Shape::kComment;
    return shape;
  }
  auto is = [&](size_t i, std::string_view word) {
    return i < words.size() && words[i].lower == word;
  };
  size_t w = 0;
  bool modifier = false;
  if (is(0, "public") || is(0, "private") || is(0, "friend")) {
    modifier = true;
    ++w;
    if (is(w, "default")) {
      shape.is_default = true;
      ++w;
    }
  }
  if (is(w, "static")) ++w;
  if (is(w, "sub") || is(w, "function")) {
    shape.shape = Shape::kProcedureStart;
    shape.kind = words[w].lower;
    if (w + 1 < words.size()) shape.name = std::string(words[w + 1].text);
    return shape;
  }
  if (is(w, "property") && (is(w + 1, "get") || is(w + 1, "let") || is(w + 1, "set"))) {
    shape.shape = Shape::kProcedureStart;
    shape.kind = "property " + words[w + 1].lower;
    if (w + 2 < words.size()) shape.name = std::string(words[w + 2].text);
    return shape;
  }
  if (modifier || is(0, "dim") || is(0, "const")) {
    shape.shape = Shape::kDeclaration;
    return shape;
  }
  const std::string& first = words[0].lower;
  if (first == "class" && words.size() >= 2) {
    shape.shape = Shape::kClassStart;
    shape.name = std::string(words[1].text);
  } else if (first == "end" && words.size() >= 2) {
    const std::string& what = words[1].lower;
    if (what == "sub" || what == "function" || what == "property") {
      shape.shape = Shape::kProcedureEnd;
      shape.kind = what;
    } else if (what == "class") {
      shape.shape = Shape::kClassEnd;
    } else if (what == "if" || what == "select" || what == "with") {
      shape.depth_change = -1;
    }
  } else if (first == "option" && is(1, "explicit")) {
    shape.shape = Shape::kOptionExplicit;
  } else if (first == "if") {
    // A block If has nothing but a comment after its Then.
    for (size_t i = 1; i < words.size(); ++i) {
      if (words[i].lower != "then") continue;
      const char* after = words[i].text.data() + words[i].text.size();
      std::string_view rest =
          Trim(std::string_view(after, statement.data() + statement.size() - after));
      if (rest.empty() || rest[0] == '\'' ||
          (rest.size() >= 3 && AsciiEqualIgnoringCase(rest.substr(0, 3), "rem"))) {
        shape.depth_change = 1;
      }
      break;
    }
  } else if (first == "for" || first == "do" || first == "while" || first == "with" ||
             (first == "select" && is(1, "case"))) {
    shape.depth_change = 1;
  } else if (first == "next") {
    shape.depth_change = -1;
    for (size_t i = 0; i < statement.size(); ++i) {
      if (statement[i] == ',') --shape.depth_change;
    }
  } else if (first == "loop" || first == "wend") {
    shape.depth_change = -1;
  } else if (first == "endif") {
    shape.depth_change = -1;
  }
  return shape;
}

namespace {

// True when `inner`, the expression inside Eval's parentheses, is a comparison or a logical
// expression at its own level: "=", "<", ">" outside parentheses and strings, or Not, And, Or,
// Xor, Eqv, Imp, Is, Like there.
bool IsValueExpression(std::string_view inner) {
  int depth = 0;
  bool in_string = false;
  for (char c : inner) {
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth == 0 && (c == '=' || c == '<' || c == '>')) return true;
  }
  static constexpr std::string_view kLogical[] = {"not", "and", "or", "xor",
                                                  "eqv", "imp", "is", "like"};
  depth = 0;
  const char* at = inner.data();
  for (const Word& word : WordsOf(inner)) {
    for (; at < word.text.data(); ++at) {
      if (*at == '(') ++depth;
      if (*at == ')') --depth;
    }
    if (depth != 0 || word.before == '.') continue;
    for (std::string_view logical : kLogical) {
      if (word.lower == logical) return true;
    }
  }
  return false;
}

}  // namespace

std::string WithoutValueEvals(std::string_view statement) {
  std::string out;
  size_t copied = 0;
  for (const Word& word : WordsOf(statement)) {
    if (word.lower != "eval" || word.before == '.') continue;
    size_t open = word.text.data() + word.text.size() - statement.data();
    while (open < statement.size() && IsBlank(statement[open])) ++open;
    if (open >= statement.size() || statement[open] != '(') continue;
    int depth = 0;
    bool in_string = false;
    size_t close = open;
    for (; close < statement.size(); ++close) {
      const char c = statement[close];
      if (c == '"') in_string = !in_string;
      if (in_string) continue;
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) break;
    }
    if (close == statement.size()) continue;
    std::string_view inner = statement.substr(open + 1, close - open - 1);
    if (!IsValueExpression(inner)) continue;
    const size_t from = word.text.data() - statement.data();
    if (from < copied) continue;  // inside an Eval already written
    out.append(statement.substr(copied, from - copied));
    out += "(";
    out.append(inner);
    out += ")";
    copied = close + 1;
  }
  out.append(statement.substr(copied));
  return out;
}

std::vector<std::string> SplitContinued(std::string_view statement, std::string_view function) {
  // The physical lines, and for each but the last whether it ends in "&" outside strings
  // and parentheses.
  std::vector<std::string_view> lines;
  std::vector<bool> cuttable;
  int depth = 0;
  bool in_string = false;
  size_t start = 0;
  size_t pieces = 0;  // physical lines once each is fitted within the line limit
  for (size_t i = 0; i <= statement.size(); ++i) {
    if (i == statement.size() || statement[i] == '\n') {
      std::string_view line = statement.substr(start, i - start);
      lines.push_back(line);
      pieces += 1 + line.size() / 900;
      if (i < statement.size()) {
        std::string_view code = Trim(line);
        if (!code.empty()) code.remove_suffix(1);  // the continuation's "_"
        code = Trim(code);
        cuttable.push_back(depth == 0 && !in_string && !code.empty() && code.back() == '&');
      }
      start = i + 1;
      in_string = false;
      continue;
    }
    const char c = statement[i];
    if (c == '"') {
      in_string = !in_string;
    } else if (in_string) {
      continue;
    } else if (c == '\'') {
      return {};  // a comment: nothing to cut safely
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    }
  }
  if (pieces <= kMaxContinuations * 2 / 3) return {};

  std::vector<Word> words = WordsOf(statement);
  if (words.empty()) return {};
  std::string head;       // what each statement starts with
  std::string next_head;  // and each after the first
  std::string target;
  size_t expression_at = 0;  // in the first line
  if (words.size() >= 2 && words[0].lower == "response" && words[1].lower == "write" &&
      words[1].before == '.' && words[0].text.data() == statement.data()) {
    head = next_head = "Response.Write ";
    expression_at = words[1].text.data() + words[1].text.size() - statement.data();
  } else if (words[0].after == '=' && words[0].text.data() == statement.data() &&
             !IsReservedWord(words[0].lower)) {
    target = words[0].lower;
    if (AsciiEqualIgnoringCase(target, function)) return {};
    head = std::string(words[0].text) + " = ";
    next_head = head + std::string(words[0].text) + " & ";
    expression_at = statement.find('=') + 1;
  } else {
    return {};
  }
  // Operators that bind looser than "&" would change the meaning of a cut.
  depth = 0;
  in_string = false;
  for (size_t i = expression_at; i < statement.size(); ++i) {
    char c = statement[i];
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth == 0 && (c == '=' || c == '<' || c == '>')) return {};
  }
  for (const Word& word : words) {
    if (word.text.data() < statement.data() + expression_at || word.before == '.') continue;
    static constexpr std::string_view kLoose[] = {"and", "or",  "not", "xor",
                                                  "eqv", "imp", "is",  "like"};
    for (std::string_view loose : kLoose) {
      if (word.lower == loose) return {};
    }
  }

  // Groups of lines, each within two thirds of the limit once fitted.
  std::vector<std::string> out;
  std::string current = head + std::string(Trim(lines[0].substr(expression_at)));
  size_t current_pieces = 1 + lines[0].size() / 900;
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t line_pieces = 1 + lines[i].size() / 900;
    if (cuttable[i - 1] && current_pieces + line_pieces > kMaxContinuations * 2 / 3) {
      // Drop the "& _" that ended the group.
      std::string_view done = Trim(current);
      done.remove_suffix(1);  // "_"
      done = Trim(done);
      done.remove_suffix(1);  // "&"
      out.emplace_back(Trim(done));
      current = next_head + std::string(Trim(lines[i]));
      current_pieces = line_pieces;
      continue;
    }
    current += "\n";
    current += lines[i];
    current_pieces += line_pieces;
  }
  out.push_back(std::move(current));
  if (!target.empty()) {
    // "x = x & ..." is the same only when the later groups do not read x.
    for (size_t i = 1; i < out.size(); ++i) {
      std::vector<Word> group = WordsOf(std::string_view(out[i]).substr(next_head.size()));
      for (const Word& word : group) {
        if (word.lower == target && word.before != '.') return {};
      }
    }
  }
  if (out.size() < 2) return {};
  return out;
}

}  // namespace vorlintex::compilable
