// The body pass against a plain reference translator written straight from the rules: every
// step on a copy of the line, the rest after a "%>" handled by recursion, every search from the
// first character. The pass itself walks each line once; on many random pages built from the
// markers that matter, both must write the same lines.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "translator/body_pass.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::PageStore;

constexpr size_t kNone = std::string::npos;

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

std::string Trim(const std::string& line) {
  size_t first = line.find_first_not_of(' ');
  return first == kNone ? std::string() : line.substr(first);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t at = 0;
  for (;;) {
    size_t found = text.find(from, at);
    if (found == kNone) break;
    result += text.substr(at, found - at) + to;
    at = found + from.size();
  }
  return result + text.substr(at);
}

class ReferenceBody {
 public:
  explicit ReferenceBody(std::map<std::string, std::vector<std::string>> includes)
      : includes_(std::move(includes)) {}

  // False when a missing include file ended the pass.
  bool Run(const std::vector<std::string>& page) {
    code_ = splice_ = 0;
    for (const std::string& line : page) {
      if (!PageLineStart(line)) return false;
    }
    return true;
  }
  const std::vector<std::string>& written() const { return written_; }

 private:
  bool PageLineStart(const std::string& raw) {
    std::string line = Trim(raw);
    std::string test = Lower(line);
    if (line.find("<!") != kNone && test.find("#include") != kNone) {
      size_t first = line.find('"');
      if (first != kNone) {
        size_t second = line.find('"', first + 1);
        if (second != kNone) return Include(line.substr(first + 1, second - first - 1));
      }
    }
    skip_ = 0;
    return Translate(line, true);
  }

  bool Include(const std::string& name) {
    auto found = includes_.find(Lower(name));
    if (found == includes_.end()) return false;
    code_ = splice_ = skip_ = 0;
    for (const std::string& line : found->second) Translate(Trim(line), false);
    code_ = splice_ = skip_ = 0;
    return true;
  }

  static std::string NormaliseEqualSigns(std::string line) {
    if (line.find("% =") != kNone) line = ReplaceAll(line, "% =", "%=");
    if (line.find("%  =") != kNone) line = ReplaceAll(line, "%  =", "%=");
    return line;
  }

  bool Translate(std::string line, bool from_page) {
    for (char& c : line) {
      if (c == '\t') c = ' ';
    }
    if (Lower(line).find("sub ") != kNone) skip_ = 1;
    if (line.empty() || skip_ == 1) return true;
    line = NormaliseEqualSigns(line);
    size_t p = line.find("<%=");
    while (p != kNone) {
      std::string expression = line.substr(p + 3);
      size_t e = expression.find('%');
      if (e == kNone) {
        splice_ = 2;
        break;
      }
      expression = ReplaceAll(expression.substr(0, e), "\"", "^");
      size_t tail_at = p + 3 + e + 2;
      std::string tail = tail_at < line.size() ? line.substr(tail_at) : "";
      line = line.substr(0, p) + "^ & " + expression + " & ^" + tail;
      splice_ = 1;
      line = NormaliseEqualSigns(line);
      p = line.find("<%=");
    }
    std::string compact = ReplaceAll(Lower(line), " ", "");
    if (compact.find("<%@") != kNone && code_ == 0) return WriteStatement(line);
    if (compact.find("optionexplicit") != kNone) {
      if (splice_ == 2) splice_ = 0;
      return true;
    }
    if (line.find("<%") == kNone && code_ == 0) return WriteStatement(line);
    if (splice_ == 2) {
      splice_ = 0;
      written_.push_back(line);
      return true;
    }
    if (code_ == 0) {
      line = line.substr(line.find("<%") + 2);
      code_ = 1;
    }
    size_t close = line.find("%>");
    if (close == kNone) {
      written_.push_back(line);
      return true;
    }
    std::string rest = line.substr(close + 2);
    written_.push_back(line.substr(0, close));
    code_ = 0;
    if (rest.empty()) return true;
    return from_page ? PageLineStart(rest) : Translate(Trim(rest), false);
  }

  bool WriteStatement(std::string line) {
    if (splice_ != 2) line = ReplaceAll(line, "\"", "\"\"");
    if (splice_ == 1) line = ReplaceAll(line, "^", "\"");
    splice_ = 0;
    written_.push_back("Response.Write (\"" + line + "\" & vbCrlf)");
    return true;
  }

  std::map<std::string, std::vector<std::string>> includes_;
  std::vector<std::string> written_;
  int code_ = 0;
  int splice_ = 0;
  int skip_ = 0;
};

std::vector<std::string> RandomLines(std::mt19937& random, bool with_directives) {
  // Markers alone, so that they meet in every order, and a few whole spans and blocks, so
  // that lines with several of them are common.
  // clang-format off
  static const std::vector<std::string> kPieces = {
      "<%", "%>", "<%=", "%", "=", " ", "  ", "\t", "\"", "^", "a", "Sub ", "sub", "END SUB",
      "<%@", "<% @", "Option Explicit", "option", " explicit", "<!", "#include", "% =", "%  =",
      "%   =", ">", "<", "x", std::string(1, '\0'), "\xff", "<%=sub%>", "<%=a%>",
      "<%= \"q\" %>", "<%a%>", "<%option explicit%>", "<%@a%>", "<% =b%>"};
  // clang-format on
  static const std::vector<std::string> kDirectives = {
      "<!--#include file=\"i.inc\"-->", "<!-- #INCLUDE file=\"I.INC\" -->",
      "<!--#include file=\"m.inc\"-->", "#include \"i.inc", "<!-- #include -->"};
  std::vector<std::string> lines(std::uniform_int_distribution<int>(0, 8)(random));
  for (std::string& line : lines) {
    int pieces = std::uniform_int_distribution<int>(0, 14)(random);
    for (int i = 0; i < pieces; ++i) {
      if (with_directives && std::uniform_int_distribution<int>(0, 40)(random) == 0) {
        line += kDirectives[random() % kDirectives.size()];
      } else {
        line += kPieces[random() % kPieces.size()];
      }
    }
  }
  return lines;
}

TEST(BodyPassReference, SameLinesAsPlainReferenceOnRandomPages) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> page_lines = RandomLines(random, true);
    std::vector<std::string> include_lines = RandomLines(random, true);

    ReferenceBody reference({{"i.inc", include_lines}});
    bool reference_ended = reference.Run(page_lines);

    PageStore store;
    store.AddSourceFile("page.asp", testing::CrLfLines(page_lines));
    store.AddSourceFile("i.inc", testing::CrLfLines(include_lines));
    std::unique_ptr<fs::TextStream> module_stream = store.CreateModule("page");
    std::unique_ptr<fs::TextStream> page = store.OpenSource("page.asp");
    OutputFile module("module.cls", std::move(module_stream), &store.failures());
    IncludeResolver includes(testing::kSourceDir, &store.env(), &store.failures());
    BodyPass body(includes, &store.failures(), module);
    std::optional<std::string> missing = body.Run(page.get());

    ASSERT_EQ(!missing.has_value(), reference_ended) << testing::CrLfLines(page_lines);
    ASSERT_EQ(store.ModuleText("page"), testing::CrLfLines(reference.written()))
        << "page:\n"
        << testing::CrLfLines(page_lines) << "include:\n"
        << testing::CrLfLines(include_lines);
  }
}

}  // namespace
}  // namespace vorlintex::translator
