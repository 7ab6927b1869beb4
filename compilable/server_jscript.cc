#include "compilable/server_jscript.h"

#include "compilable/identifiers.h"
#include "compilable/vb_lines.h"
#include "contract/ascii.h"

namespace vorlintex::compilable {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads JScript a byte at a time, past its strings, comments and escapes, keeping the depth
// of braces.
class Reader {
 public:
  explicit Reader(std::string_view code) : code_(code) {}
  bool AtEnd() const { return at_ >= code_.size(); }
  void SkipSpaceAndComments() {
    while (!AtEnd()) {
      if (IsSpace(code_[at_]) || code_[at_] == ';') {
        ++at_;
      } else if (code_.substr(at_, 2) == "//") {
        while (!AtEnd() && code_[at_] != '\n') ++at_;
      } else if (code_.substr(at_, 2) == "/*") {
        size_t end = code_.find("*/", at_ + 2);
        at_ = end == std::string_view::npos ? code_.size() : end + 2;
      } else {
        return;
      }
    }
  }
  std::string_view Name() {
    size_t start = at_;
    while (!AtEnd() && (IsNameByte(code_[at_]) || code_[at_] == '$')) ++at_;
    return code_.substr(start, at_ - start);
  }
  bool Take(char c) {
    SkipSpaceAndComments();
    if (AtEnd() || code_[at_] != c) return false;
    ++at_;
    return true;
  }
  // From just after a "{" to just after its "}"; false when the code ends first.
  bool SkipBody() {
    int depth = 1;
    while (!AtEnd()) {
      char c = code_[at_];
      if (c == '\\') {
        at_ += 2;
      } else if (c == '"' || c == '\'') {
        ++at_;
        while (!AtEnd() && code_[at_] != c && code_[at_] != '\n') at_ += code_[at_] == '\\' ? 2 : 1;
        ++at_;
      } else if (code_.substr(at_, 2) == "//" || code_.substr(at_, 2) == "/*") {
        SkipSpaceAndComments();
      } else {
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) {
          ++at_;
          return true;
        }
        ++at_;
      }
    }
    return false;
  }

 private:
  std::string_view code_;
  size_t at_ = 0;
};

bool IsProcedureName(std::string_view name) {
  return !name.empty() && IsLetter(name[0]) && IsIdentifier(name);
}

}  // namespace

bool IsJScript(std::string_view language) {
  std::string lower = AsciiLower(language);
  return lower == "jscript" || lower.rfind("javascript", 0) == 0;
}

std::optional<std::vector<JScriptFunction>> JScriptFunctions(std::string_view code) {
  std::vector<JScriptFunction> functions;
  Reader reader(code);
  while (true) {
    reader.SkipSpaceAndComments();
    if (reader.AtEnd()) break;
    if (reader.Name() != "function") return std::nullopt;
    reader.SkipSpaceAndComments();
    JScriptFunction function;
    function.name = std::string(reader.Name());
    if (!IsProcedureName(function.name) || !reader.Take('(')) return std::nullopt;
    if (!reader.Take(')')) {
      while (true) {
        reader.SkipSpaceAndComments();
        std::string param(reader.Name());
        if (!IsProcedureName(param)) return std::nullopt;
        function.params.push_back(std::move(param));
        if (reader.Take(')')) break;
        if (!reader.Take(',')) return std::nullopt;
      }
    }
    if (!reader.Take('{') || !reader.SkipBody()) return std::nullopt;
    functions.push_back(std::move(function));
  }
  if (functions.empty()) return std::nullopt;
  return functions;
}

std::vector<std::string> JScriptCaller(const JScriptFunction& function) {
  std::string params;
  std::string args;
  for (const std::string& param : function.params) {
    if (!params.empty()) params += ", ";
    params += "ByVal " + param;
    args += ", " + param;
  }
  return {"Private Function " + function.name + "(" + params + ")",
          "    " + function.name + " = " + std::string(kJScriptHost) + "().Run(\"" + function.name +
              "\"" + args + ")",
          "End Function"};
}

std::vector<std::string> JScriptHost(std::string_view code) {
  const std::string control(kJScriptControl);
  std::vector<std::string> lines = {
      "Private Function " + std::string(kJScriptHost) + "() As Object",
      "    If " + control + " Is Nothing Then",
      "        Set " + control + " = CreateObject(\"MSScriptControl.ScriptControl\")",
      "        " + control + ".Language = \"JScript\"",
  };
  // The host objects the code names, as the page host gave them to it.
  for (std::string_view host : {"Application", "Request", "Session", "Response", "Server"}) {
    for (size_t at = code.find(host); at != std::string_view::npos; at = code.find(host, at + 1)) {
      const bool starts = at == 0 || !IsNameByte(code[at - 1]);
      const bool ends = at + host.size() == code.size() || !IsNameByte(code[at + host.size()]);
      if (starts && ends) {
        lines.push_back("        " + control + ".AddObject \"" + std::string(host) + "\", " +
                        std::string(host));
        break;
      }
    }
  }
  lines.push_back("        Dim code As String");
  size_t start = 0;
  while (start < code.size()) {
    size_t end = code.find('\n', start);
    if (end == std::string_view::npos) end = code.size();
    std::string_view line = code.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string literal;
    for (char c : line) literal += c == '"' ? std::string("\"\"") : std::string(1, c);
    AppendFitted(literal.empty() ? "        code = code & vbCrLf"
                                 : "        code = code & \"" + literal + "\" & vbCrLf",
                 &lines);
    start = end + 1;
  }
  lines.push_back("        " + control + ".AddCode code");
  lines.push_back("    End If");
  lines.push_back("    Set " + std::string(kJScriptHost) + " = " + control);
  lines.push_back("End Function");
  return lines;
}

}  // namespace vorlintex::compilable
