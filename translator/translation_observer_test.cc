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
  const char* name;
  std::vector<std::string_view> page;
  std::vector<std::string_view> include;  // i.inc
  std::vector<Told> told;
};

class ObserverTable : public ::testing::TestWithParam<ObserverCase> {};

TEST_P(ObserverTable, TellsExactlyTheseLosses) {
  const ObserverCase& c = GetParam();
  PageStore store;
  store.AddSourceFile("page.asp", testing::CrLfLines(c.page));
  if (!c.include.empty()) store.AddSourceFile("i.inc", testing::CrLfLines(c.include));
  Recorder recorder;
  PageTranslation page = store.Prepare("page");
  page.observer = &recorder;
  page.pass_over_missing_includes = true;
  TranslatePage(page);
  EXPECT_EQ(recorder.told, c.told);
}

const char* const kP = "page.asp";
const char* const kI = "i.inc";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ObserverTable,
    ::testing::Values(
        ObserverCase{"PlainHtml", {"<p>a</p>", "<b>x</b>"}, {}, {}},
        ObserverCase{"Expression", {"<p><%= a %></p>"}, {}, {}},
        ObserverCase{"CodeBlock", {"<%", "x = 1", "%>"}, {}, {}},
        ObserverCase{"OneLineSub", {"<% Sub A() : x = 1 : End Sub %>"}, {}, {}},
        ObserverCase{"SubBodyInPageMethod",
                     {"<%", "Sub A()", "x = 1", "End Sub", "%>"},
                     {},
                     {{Loss::kSubBodyInPageMethod, kP, 2}}},
        ObserverCase{"SubWordInIncludeCutsTheRest",
                     {"<!-- #include file=\"i.inc\" -->"},
                     {"<p>the sub menu</p>", "<p>lost</p>"},
                     {{Loss::kSubWord, kI, 1}, {Loss::kIncludeCutBySub, kI, 2}}},
        ObserverCase{"OptionExplicit", {"<% Option Explicit %>"}, {}, {}},
        ObserverCase{"TextBeforeCode", {"Hello <% x = 1 %>"}, {}, {{Loss::kTextBeforeCode, kP, 1}}},
        ObserverCase{
            "SubWordInHtml", {"<p>the sub menu</p>", "end sub"}, {}, {{Loss::kSubWord, kP, 1}}},
        ObserverCase{
            "SubWordInName", {"<%", "HasHigherSub = false", "%>"}, {}, {{Loss::kSubWord, kP, 2}}},
        ObserverCase{"IncludeCutBySub",
                     {"<!-- #include file=\"i.inc\" -->"},
                     {"<%", "Sub A()", "End Sub", "%>", "<p>lost</p>"},
                     {{Loss::kIncludeCutBySub, kI, 4}}},
        ObserverCase{"FunctionInPageMethod",
                     {"<%", "Function F()", "End Function", "%>"},
                     {},
                     {{Loss::kProcedureInPageMethod, kP, 2}}},
        ObserverCase{"PropertyInPageMethod",
                     {"<% Public Property Get P()", "End Property %>"},
                     {},
                     {{Loss::kProcedureInPageMethod, kP, 1}}},
        ObserverCase{
            "ClassBlock", {"<%", "Class C", "End Class", "%>"}, {}, {{Loss::kClassBlock, kP, 2}}},
        ObserverCase{
            "SubInServerScriptWrittenTwice",
            {"<script language=\"VBScript\" runat=\"server\">", "Sub A()", "End Sub", "</script>"},
            {},
            {{Loss::kDuplicateProcedure, kP, 2}, {Loss::kScriptBlockAsText, kP, 1}}},
        ObserverCase{"IncludeTwiceCopiesItsProceduresTwice",
                     {"<!-- #include file=\"i.inc\" -->", "<!-- #include file=\"i.inc\" -->"},
                     {"<%", "Sub A()", "End Sub"},
                     {{Loss::kDuplicateProcedure, kP, 2}}},
        ObserverCase{"JScriptBlock",
                     {"<script language=\"JScript\" runat=\"server\">", "var a = 1;", "</script>"},
                     {},
                     {{Loss::kScriptNotVbscript, kP, 1}, {Loss::kScriptBlockAsText, kP, 1}}},
        ObserverCase{"ExpressionCutShort",
                     {"<p><%= 5 % 2 %></p>"},
                     {},
                     {{Loss::kExpressionCutShort, kP, 1}}},
        ObserverCase{"CaretBecomesQuote",
                     {"<p>^<%= a %></p>"},
                     {},
                     {{Loss::kCaretBecomesQuote, kP, 1}, {Loss::kUnbalancedQuotes, kP, 1}}},
        ObserverCase{
            "UnfinishedExpression", {"<p><%= a"}, {}, {{Loss::kUnfinishedExpression, kP, 1}}},
        ObserverCase{
            "Directive", {"<%@ LANGUAGE=\"VBSCRIPT\" %>"}, {}, {{Loss::kDirectiveAsText, kP, 1}}},
        ObserverCase{"NestedInclude",
                     {"<!-- #include file=\"i.inc\" -->"},
                     {"<!-- #include file=\"j.inc\" -->"},
                     {{Loss::kNestedInclude, kI, 1}}},
        ObserverCase{"VirtualIncludeWithTextBeside",
                     {"<p>a</p><!-- #include virtual=\"i.inc\" -->"},
                     {"<p>b</p>"},
                     {{Loss::kVirtualInclude, kP, 1}, {Loss::kTextOnIncludeLine, kP, 1}}},
        ObserverCase{"CodeNeverClosed",
                     {"<p>a</p>", "<% x = 1", "<p>b</p>"},
                     {},
                     {{Loss::kCodeNeverClosed, kP, 2}}},
        ObserverCase{"NotAsciiOncePerFile",
                     {"\xef\xbb\xbf<p>a</p>", "<p>caf\xc3\xa9</p>"},
                     {},
                     {{Loss::kNotAscii, kP, 1}}},
        ObserverCase{"MissingIncludeIsPassedOver",
                     {"<!-- #include file=\"none.inc\" -->", "<p>a</p>",
                      "<!-- #include file=\"other.inc\" -->"},
                     {},
                     {{Loss::kMissingInclude, kP, 1}, {Loss::kMissingInclude, kP, 3}}}),
    [](const ::testing::TestParamInfo<ObserverCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vorlintex::translator
