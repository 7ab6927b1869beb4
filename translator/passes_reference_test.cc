// Whole class modules against plain reference passes written straight from the rules: every
// line normalised and folded into a test copy before it is tested, every step of the body pass
// on a copy of the line, the rest after a "%>" handled by recursion, every search from the first
// character. The passes themselves walk each line once; on many random pages built from the
// markers that matter, both must write the same lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "translator/statement_shapes.h"
#include "translator/translate_page.h"
#include "translator/translation_observer.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::Lines;
using testing::PageStore;

constexpr size_t kNone = std::string::npos;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return text;
}

std::string Trim(const std::string& line) {
  return line.substr(std::min(line.find_first_not_of(' '), line.size()));
}

std::string Normalise(const std::string& line) {
  std::string normalised = Trim(line);
  std::replace(normalised.begin(), normalised.end(), '\t', ' ');
  return normalised;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != kNone; }

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t at = 0;
  for (size_t found; (found = text.find(from, at)) != kNone; at = found + from.size()) {
    result += text.substr(at, found - at) + to;
  }
  return result + text.substr(at);
}

// The name between the first two double quotes of an include directive line.
std::optional<std::string> DirectiveName(const std::string& line) {
  if (!Has(line, "<!") || !Has(Lower(line), "#include")) return std::nullopt;
  size_t first = line.find('"');
  size_t second = first == kNone ? kNone : line.find('"', first + 1);
  if (second == kNone) return std::nullopt;
  return line.substr(first + 1, second - first - 1);
}

// Pages naming a missing include file end in the globals pass, so the body pass is compared
// only on pages whose includes all name i.inc: a little over half of the random pages.
class ReferenceBody {
 public:
  ReferenceBody(const Lines& page, Lines include) : include_(std::move(include)) {
    for (const std::string& line : page) PageLineStart(line);
  }
  const Lines& written() const { return written_; }

 private:
  void PageLineStart(const std::string& raw) {
    std::string line = Trim(raw);
    if (!DirectiveName(line)) {
      skip_ = 0;
      return Translate(line, true);
    }
    code_ = splice_ = skip_ = 0;
    for (const std::string& include_line : include_) Translate(Trim(include_line), false);
    code_ = splice_ = skip_ = 0;
  }

  static std::string NormaliseEqualSigns(std::string line) {
    return ReplaceAll(ReplaceAll(line, "% =", "%="), "%  =", "%=");
  }

  void Translate(std::string line, bool from_page) {
    std::replace(line.begin(), line.end(), '\t', ' ');
    if (Has(Lower(line), "sub ")) skip_ = 1;
    if (line.empty() || skip_ == 1) return;
    line = NormaliseEqualSigns(line);
    for (size_t p; (p = line.find("<%=")) != kNone;) {
      std::string expression = line.substr(p + 3);
      size_t e = expression.find('%');
      if (e == kNone) {
        splice_ = 2;
        break;
      }
      expression = ReplaceAll(expression.substr(0, e), "\"", "^");
      size_t tail_at = p + 3 + e + 2;
      std::string tail = tail_at < line.size() ? line.substr(tail_at) : "";
      line = NormaliseEqualSigns(line.substr(0, p) + "^ & " + expression + " & ^" + tail);
      splice_ = 1;
    }
    std::string compact = ReplaceAll(Lower(line), " ", "");
    if (Has(compact, "<%@") && code_ == 0) return WriteStatement(line);
    if (Has(compact, "optionexplicit")) {
      if (splice_ == 2) splice_ = 0;
      return;
    }
    if (!Has(line, "<%") && code_ == 0) return WriteStatement(line);
    if (splice_ == 2) {
      splice_ = 0;
      written_.push_back(line);
      return;
    }
    if (code_ == 0) {
      line = line.substr(line.find("<%") + 2);
      code_ = 1;
    }
    size_t close = line.find("%>");
    written_.push_back(line.substr(0, close));
    if (close == kNone) return;
    std::string rest = line.substr(close + 2);
    code_ = 0;
    if (rest.empty()) return;
    return from_page ? PageLineStart(rest) : Translate(Trim(rest), false);
  }

  void WriteStatement(std::string line) {
    if (splice_ != 2) line = ReplaceAll(line, "\"", "\"\"");
    if (splice_ == 1) line = ReplaceAll(line, "^", "\"");
    splice_ = 0;
    written_.push_back("Response.Write (\"" + line + "\" & vbCrlf)");
  }

  Lines include_;  // i.inc, the only include file there is
  Lines written_;
  int code_ = 0;
  int splice_ = 0;
  int skip_ = 0;
};

// The lines the globals pass copies, and the path of the missing include file that ends it.
struct GlobalsResult {
  Lines copied;
  std::optional<std::string> missing;
};

GlobalsResult ReferenceGlobals(const Lines& page, const Lines& include) {
  GlobalsResult result;
  int copy = 0;
  auto procedure_rule = [&](const std::string& line) {
    if (line.empty()) return;
    if (copy == 0 && Has(Lower(line), "sub ")) copy = 1;
    if (copy == 1) {
      result.copied.push_back(line);
      if (Has(Lower(line), "end sub")) copy = 0;
    }
  };
  for (const std::string& raw : page) {
    std::string line = Normalise(raw);
    std::optional<std::string> name = DirectiveName(line);
    if (!name) {
      if (!(Has(line, "<!") && Has(Lower(line), "#include"))) procedure_rule(line);
      continue;
    }
    if (Lower(*name) != "i.inc") {
      result.missing = PageStore::SourcePath(*name);
      return result;
    }
    copy = 0;
    for (const std::string& include_line : include) procedure_rule(Normalise(include_line));
  }
  return result;
}

Lines ReferenceScriptBlocks(const Lines& page) {
  Lines copied;
  int block = 0;
  for (const std::string& raw : page) {
    std::string line = Normalise(raw);
    if (line.empty()) continue;
    bool opening = Has(Lower(line), "runat");
    if (opening && block == 0) block = 1;
    if (block == 0 || opening) continue;
    if (Has(Lower(line), "</script>")) block = 0;
    if (block == 1) copied.push_back(line);
  }
  return copied;
}

Lines RandomLines(std::mt19937& random) {
  // Markers alone, so that they meet in every order, and a few whole spans, blocks and
  // directives, so that lines with several of them are common; bytes that are no ASCII letter
  // yet a careless case fold would take for one, and bytes that must pass unchanged.
  // clang-format off
  static const Lines kPieces = {
      "<%", "%>", "<%=", "%", "=", " ", "  ", "\t", "\"", "^", "a", "Sub ", "sub\t", "END SUB",
      "end\tsub", "End Sub", "Function", "<%@", "<% @", "Option Explicit", "option", " explicit",
      "<!", "#include", "#INCLUDE", "% =", "%  =", "%   =", ">", "<", "x", std::string(1, '\0'),
      "\xff", "\xc3\x9c", "<%=sub%>", "<%=a%>", "<%= \"q\" %>", "<%a%>", "<%option explicit%>",
      "<%@a%>", "<% =b%>", "runat", "RunAt=\"server\"", "<script ", "</script>", "</SCRIPT>",
      "</script >", "\r", "\xd3UB ", "\xf3ub ", "@UB "};
  static const Lines kDirectives = {
      "<!--#include file=\"i.inc\"-->", "<!-- #INCLUDE file=\"I.INC\" -->",
      "<!--#include file=\"m\tissing.inc\"-->", "#include \"i.inc", "<!-- #include -->"};
  // clang-format on
  Lines lines(std::uniform_int_distribution<int>(0, 9)(random));
  for (std::string& line : lines) {
    for (int i = std::uniform_int_distribution<int>(0, 20)(random); i > 0; --i) {
      line += random() % 30 == 0 ? kDirectives[random() % kDirectives.size()]
                                 : kPieces[random() % kPieces.size()];
    }
  }
  return lines;
}

// Keeps, of what each line told of unbalanced quotes wrote, the statements that do not pair.
class Recorder : public TranslationObserver {
 public:
  void Noted(Loss loss, LineAt, std::string_view, std::string_view written) override {
    for (size_t at = 0, end = 0; loss == Loss::kUnbalancedQuotes && end != kNone; at = end + 1) {
      end = written.find('\n', at);
      std::string statement(written.substr(at, end == kNone ? end : end - at));
      if (!QuotesPair(statement)) unpaired.push_back(statement);
    }
  }
  void IncludeMissing(LineAt, std::string_view, std::string_view) override {}
  void IncludeBegins(LineAt, std::string_view) override {}
  void IncludeEnds() override {}
  Lines unpaired;
};

// Besides, what the observer is told: the statements it calls unbalanced are, in order, those
// of the module whose quotes do not pair, and listening changes nothing that is written.
TEST(PassesReference, SameModuleAsPlainReferenceOnRandomPages) {
  std::mt19937 random(20261206);
  int unbalanced_seen = 0;
  for (int round = 0; round < 7000; ++round) {
    Lines page_lines = RandomLines(random);
    Lines include_lines = RandomLines(random);
    PageStore store;
    store.AddPage("page", page_lines, {{"i.inc", include_lines}});
    SCOPED_TRACE("page:\n" + CrLfLines(page_lines) + "include:\n" + CrLfLines(include_lines));
    GlobalsResult globals = ReferenceGlobals(page_lines, include_lines);
    ReferenceBody body(page_lines, include_lines);
    // A module cut short by a missing include file does not take its name.
    const std::string module = globals.missing
                                   ? "<no class module>"
                                   : ExpectedModule("page", CrLfLines(globals.copied),
                                                    CrLfLines(ReferenceScriptBlocks(page_lines)),
                                                    CrLfLines(body.written()));
    Recorder recorder;
    for (Recorder* observer : {static_cast<Recorder*>(nullptr), &recorder}) {
      PageTranslation page = store.Prepare("page");
      page.observer = observer;
      ASSERT_EQ(TranslatePage(page).missing_include, globals.missing);
      ASSERT_EQ(store.ModuleText("page"), module);
    }
    Lines unpaired;
    if (!globals.missing) {
      std::copy_if(body.written().begin(), body.written().end(), std::back_inserter(unpaired),
                   [](const std::string& statement) { return !QuotesPair(statement); });
    }
    EXPECT_EQ(recorder.unpaired, unpaired);
    unbalanced_seen += static_cast<int>(unpaired.size());
  }
  EXPECT_GT(unbalanced_seen, 0);  // the pages do exercise the check
}

}  // namespace
}  // namespace vorlintex::translator
