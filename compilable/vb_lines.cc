#include "compilable/vb_lines.h"

namespace vorlintex::compilable {
void AppendTextWrites(std::string_view text, std::vector<std::string>* lines) {
  // One statement per line of the text, its parts joined by " & ".
  std::string statement;
  std::string literal;
  auto add_part = [&](const std::string& part) {
    if (!statement.empty() && statement.size() + 3 + part.size() > kLineLimit) {
      lines->push_back(std::move(statement));
      statement.clear();
    }
    statement += statement.empty() ? "Response.Write " : " & ";
    statement += part;
  };
  auto close_literal = [&] {
    if (literal.empty()) return;
    add_part("\"" + literal + "\"");
    literal.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if (crlf || c == '\n') {
      close_literal();
      add_part(crlf ? "vbCrLf" : "vbLf");
      lines->push_back(std::move(statement));
      statement.clear();
      if (crlf) ++i;
    } else if (static_cast<unsigned char>(c) < 32 && c != '\t') {
      close_literal();
      add_part("Chr(" + std::to_string(static_cast<unsigned char>(c)) + ")");
    } else {
      literal += c;
      if (c == '"') literal += '"';
      if (literal.size() >= 900) close_literal();
    }
  }
  close_literal();
  if (!statement.empty()) lines->push_back(std::move(statement));
}

void AppendFitted(std::string_view line, std::vector<std::string>* lines) {
  if (line.size() <= kLineLimit) {
    lines->emplace_back(line);
    return;
  }
  std::string out;
  bool in_string = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (!in_string && c == '\'') {
      // A comment: what does not fit is left out.
      std::string_view rest = line.substr(i);
      if (out.size() + rest.size() > kLineLimit) rest = rest.substr(0, kLineLimit - out.size());
      out += rest;
      break;
    }
    out += c;
    if (c == '"') {
      if (in_string && i + 1 < line.size() && line[i + 1] == '"') {
        out += '"';
        ++i;
        continue;
      }
      in_string = !in_string;
      continue;
    }
    if (!in_string && c == ' ' && out.size() > kLineLimit - 100) {
      lines->push_back(out + "_");
      out.clear();
    } else if (in_string && out.size() > kLineLimit - 10) {
      lines->push_back(out + "\" & _");
      out = "\"";
    }
  }
  lines->push_back(std::move(out));
}

}  // namespace vorlintex::compilable
