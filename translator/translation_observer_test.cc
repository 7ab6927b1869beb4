// What the translation tells its observer: two pages that between them hold every kind of
// loss, each told on its own line, among lines that convert without loss and tell nothing.
#include "translator/translation_observer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "translator/translate_page.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::Lines;
using testing::PageStore;

struct Told {
  std::string file;  // the file name alone
  int line;
  Loss loss;
  auto operator<=>(const Told&) const = default;
};

class Recorder : public TranslationObserver {
 public:
  void Noted(Loss loss, LineAt at, std::string_view, std::string_view) override {
    told.push_back(Told{Name(at.file), at.number, loss});
  }
  void IncludeMissing(LineAt at, std::string_view, std::string_view path) override {
    told.push_back(Told{Name(at.file), at.number, Loss::kMissingInclude});
    includes.push_back(Name(at.file) + ":" + std::to_string(at.number) + " " + Name(path) +
                       " missing");
  }
  void IncludeBegins(LineAt at, std::string_view path) override {
    includes.push_back(Name(at.file) + ":" + std::to_string(at.number) + " " + Name(path));
  }
  void IncludeEnds() override { includes.push_back("end"); }
  static std::string Name(std::string_view path) {
    return std::string(path.substr(path.rfind('\\') + 1));
  }
  std::vector<Told> told;
  std::vector<std::string> includes;  // what was told of include files, in order
};

const char* const kP = "page.asp";

TEST(TranslationObserver, TellsExactlyTheseLosses) {
  using enum Loss;
  const struct {
    Lines page;
    std::vector<std::pair<std::string, Lines>> includes;
    std::vector<Told> told;  // in file and line order: the passes tell one after another
    std::vector<std::string> told_includes;
  } cases[] = {
      // clang-format off
      {{"\xef\xbb\xbf<p>a</p>", "Hello <% x = 1 %>", "<p>the sub menu</p>", "<%",           // 1-4
        "HasHigherSub = false", "Sub A()", "x = 1", "End Sub", "Function F()",              // 5-9
        "End Function", "Class C", "End Class", "%>", "<% Public Property Get P()",         // 10-14
        "End Property %>", "<p><%= 5 % 2 %></p>", "<p>^<%= a %></p>", "<p><%= a",           // 15-18
        "<%@ LANGUAGE=\"VBSCRIPT\" %>", "<p>caf\xc3\xa9 <%= a %></p>",                      // 19-20
        "<% Sub B() : x = 1 : End Sub %>", "<% Option Explicit %>", "<% x = 1", "<p>b</p>"},
       {},
       {{kP, 1, kNotAscii}, {kP, 2, kTextBeforeCode}, {kP, 3, kSubWord}, {kP, 5, kSubWord},
        {kP, 6, kSubBodyInPageMethod}, {kP, 9, kProcedureInPageMethod}, {kP, 11, kClassBlock},
        {kP, 14, kProcedureInPageMethod}, {kP, 16, kExpressionCutShort},
        {kP, 17, kCaretBecomesQuote}, {kP, 17, kUnbalancedQuotes},
        {kP, 18, kUnfinishedExpression}, {kP, 19, kDirectiveAsText}, {kP, 23, kCodeNeverClosed}},
       {}},
      // j.inc is read twice, so told twice; bytes outside ASCII are told once a file; a check
      // passes over a missing include instead of ending there.
      {{"\xe9<!-- #include virtual=\"i.inc\" -->", "<!-- #include file=\"j.inc\" -->",      // 1-2
        "<!-- #include file=\"j.inc\" -->", "<!-- #include file=\"none.inc\" -->",          // 3-4
        "<script language=\"VBScript\" runat=\"server\">", "Sub S()", "End Sub", "</script>", // 5-8
        "<script language=\"JScript\" runat=\"server\">", "var \xe9 = 1;", "</script>"},    // 9-11
       {{"i.inc", {"<!-- #include file=\"j.inc\" -->", "<%", "Sub A()", "End Sub", "%>",
                   "<p>lost</p>"}},
        {"j.inc", {"<p>the sub menu</p>", "<p>l\xf6st</p>"}}},
       {{"i.inc", 1, kNestedInclude}, {"i.inc", 5, kIncludeCutBySub}, {"j.inc", 1, kSubWord},
        {"j.inc", 1, kSubWord}, {"j.inc", 2, kIncludeCutBySub}, {"j.inc", 2, kIncludeCutBySub},
        {"j.inc", 2, kNotAscii}, {"j.inc", 2, kNotAscii}, {kP, 1, kVirtualInclude},
        {kP, 1, kTextOnIncludeLine}, {kP, 1, kNotAscii}, {kP, 3, kDuplicateProcedure},
        {kP, 4, kMissingInclude}, {kP, 5, kScriptBlockAsText}, {kP, 6, kDuplicateProcedure},
        {kP, 9, kScriptBlockAsText}, {kP, 9, kScriptNotVbscript}},
       // The globals pass finds the missing one; the body pass reads each found one.
       {"page.asp:4 none.inc missing", "page.asp:1 i.inc", "end", "page.asp:2 j.inc", "end",
        "page.asp:3 j.inc", "end"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    PageStore store;
    store.AddPage("page", c.page, c.includes);
    Recorder recorder;
    PageTranslation page = store.Prepare("page");
    page.observer = &recorder;
    page.pass_over_missing_includes = true;
    TranslatePage(page);
    std::sort(recorder.told.begin(), recorder.told.end());
    EXPECT_EQ(recorder.told, c.told) << testing::CrLfLines(c.page);
    EXPECT_EQ(recorder.includes, c.told_includes);
  }
}

}  // namespace
}  // namespace vorlintex::translator
