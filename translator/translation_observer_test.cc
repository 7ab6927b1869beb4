// What the translation tells its observer: one small page per kind of loss, with the line it
// must be told on, and pages that convert without loss telling nothing.
#include "translator/translation_observer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translator/translate_page.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::Lines;
using testing::PageStore;

struct Told {
  Loss loss;
  std::string file;  // "page.asp" or "i.inc"
  int line;
  bool operator==(const Told&) const = default;
};

class Recorder : public TranslationObserver {
 public:
  void Noted(Loss loss, LineAt at, std::string_view, std::string_view) override {
    std::string_view file = at.file.substr(at.file.rfind('\\') + 1);
    told.push_back(Told{loss, std::string(file), at.number});
  }
  std::vector<Told> told;
};

struct ObserverCase {
  Lines page;
  Lines include;  // i.inc
  std::vector<Told> told;
};

const char* const kP = "page.asp";
const char* const kI = "i.inc";
const char* const kIncludeLine = "<!-- #include file=\"i.inc\" -->";

TEST(TranslationObserver, TellsExactlyTheseLosses) {
  const ObserverCase cases[] = {
      {{"<p>a</p>", "<p><%= a %></p>", "<%", "x = 1", "%>", "<% Sub A() : x = 1 : End Sub %>",
        "<% Option Explicit %>"},
       {},
       {}},
      {{"<%", "Sub A()", "x = 1", "End Sub", "%>"}, {}, {{Loss::kSubBodyInPageMethod, kP, 2}}},
      {{kIncludeLine},
       {"<p>the sub menu</p>", "<p>lost</p>"},
       {{Loss::kSubWord, kI, 1}, {Loss::kIncludeCutBySub, kI, 2}}},
      {{"Hello <% x = 1 %>"}, {}, {{Loss::kTextBeforeCode, kP, 1}}},
      {{"<p>the sub menu</p>", "end sub"}, {}, {{Loss::kSubWord, kP, 1}}},
      {{"<%", "HasHigherSub = false", "%>"}, {}, {{Loss::kSubWord, kP, 2}}},
      {{kIncludeLine},
       {"<%", "Sub A()", "End Sub", "%>", "<p>lost</p>"},
       {{Loss::kIncludeCutBySub, kI, 4}}},
      {{"<%", "Function F()", "End Function", "%>"}, {}, {{Loss::kProcedureInPageMethod, kP, 2}}},
      {{"<% Public Property Get P()", "End Property %>"},
       {},
       {{Loss::kProcedureInPageMethod, kP, 1}}},
      {{"<%", "Class C", "End Class", "%>"}, {}, {{Loss::kClassBlock, kP, 2}}},
      {{"<script language=\"VBScript\" runat=\"server\">", "Sub A()", "End Sub", "</script>"},
       {},
       {{Loss::kDuplicateProcedure, kP, 2}, {Loss::kScriptBlockAsText, kP, 1}}},
      {{kIncludeLine, kIncludeLine},
       {"<%", "Sub A()", "End Sub"},
       {{Loss::kDuplicateProcedure, kP, 2}}},
      {{"<script language=\"JScript\" runat=\"server\">", "var a = 1;", "</script>"},
       {},
       {{Loss::kScriptNotVbscript, kP, 1}, {Loss::kScriptBlockAsText, kP, 1}}},
      {{"<p><%= 5 % 2 %></p>"}, {}, {{Loss::kExpressionCutShort, kP, 1}}},
      {{"<p>^<%= a %></p>"},
       {},
       {{Loss::kCaretBecomesQuote, kP, 1}, {Loss::kUnbalancedQuotes, kP, 1}}},
      {{"<p><%= a"}, {}, {{Loss::kUnfinishedExpression, kP, 1}}},
      {{"<%@ LANGUAGE=\"VBSCRIPT\" %>"}, {}, {{Loss::kDirectiveAsText, kP, 1}}},
      {{kIncludeLine}, {"<!-- #include file=\"j.inc\" -->"}, {{Loss::kNestedInclude, kI, 1}}},
      {{"<p>a</p><!-- #include virtual=\"i.inc\" -->"},
       {"<p>b</p>"},
       {{Loss::kVirtualInclude, kP, 1}, {Loss::kTextOnIncludeLine, kP, 1}}},
      {{"<p>a</p>", "<% x = 1", "<p>b</p>"}, {}, {{Loss::kCodeNeverClosed, kP, 2}}},
      {{"\xef\xbb\xbf<p>a</p>", "<p>caf\xc3\xa9</p>"}, {}, {{Loss::kNotAscii, kP, 1}}},
      // A check passes over a missing include instead of ending there.
      {{"<!-- #include file=\"none.inc\" -->", "<p>a</p>", "<!-- #include file=\"other.inc\" -->"},
       {},
       {{Loss::kMissingInclude, kP, 1}, {Loss::kMissingInclude, kP, 3}}},
  };
  for (const ObserverCase& c : cases) {
    PageStore store;
    store.AddPage(c.page, {{"i.inc", c.include}});
    Recorder recorder;
    PageTranslation page = store.Prepare("page");
    page.observer = &recorder;
    page.pass_over_missing_includes = true;
    TranslatePage(page);
    EXPECT_EQ(recorder.told, c.told) << testing::CrLfLines(c.page);
  }
}

}  // namespace
}  // namespace vorlintex::translator
