#include "translator/body_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::PageStore;

struct BodyRun {
  std::string written;
  std::optional<std::string> missing_include;
};

// Runs the body pass alone over `page_text` and gives back what it wrote.
BodyRun RunBodyPass(PageStore& store, const std::string& page_text) {
  store.AddSourceFile("page.asp", page_text);
  std::unique_ptr<fs::TextStream> module_stream = store.CreateModule("page");
  std::unique_ptr<fs::TextStream> page = store.OpenSource("page.asp");
  OutputFile module("module.cls", std::move(module_stream), &store.failures());
  IncludeResolver includes(testing::kSourceDir, &store.env(), &store.failures());
  BodyPass body(includes, &store.failures(), module);
  BodyRun run;
  run.missing_include = body.Run(page.get());
  module.Close();
  run.written = store.ModuleText("page");
  return run;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct BodyCase {
  const char* name;
  std::vector<std::string> page_lines;
  std::vector<std::string> written_lines;
};

class BodyPassTable : public ::testing::TestWithParam<BodyCase> {};

TEST_P(BodyPassTable, WritesExactlyTheseLines) {
  const BodyCase& c = GetParam();
  PageStore store;
  BodyRun run = RunBodyPass(store, JoinCrLf(c.page_lines));
  EXPECT_FALSE(run.missing_include.has_value());
  EXPECT_EQ(run.written, JoinCrLf(c.written_lines));
  EXPECT_TRUE(store.failures().empty());
}

// The worked examples, each one run of the pass with every state at 0.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, BodyPassTable,
    ::testing::Values(
        BodyCase{"PlainHtml", {"<p>Hello</p>"}, {"Response.Write (\"<p>Hello</p>\" & vbCrlf)"}},
        BodyCase{"QuotesDoubled",
                 {"<a href=\"next.asp\">Next</a>"},
                 {"Response.Write (\"<a href=\"\"next.asp\"\">Next</a>\" & vbCrlf)"}},
        BodyCase{"OneExpressionSpan",
                 {"<td><%= rs(\"name\") %></td>"},
                 {"Response.Write (\"<td>\" &  rs(\"name\")  & \"</td>\" & vbCrlf)"}},
        BodyCase{
            "TwoExpressionSpans",
            {"Total: <%=n%> items, <%= \"x\" %> done"},
            {"Response.Write (\"Total: \" & n & \" items, \" &  \"x\"  & \" done\" & vbCrlf)"}},
        BodyCase{"SpanInsideAttributeValue",
                 {"<a href=\"<%= url %>\">go</a>"},
                 {"Response.Write (\"<a href=\"\"\" &  url  & \"\"\">go</a>\" & vbCrlf)"}},
        BodyCase{"EqualSignNormalisedThenSpanAlone",
                 {"<% = a %>"},
                 {"Response.Write (\"\" &  a  & \"\" & vbCrlf)"}},
        BodyCase{"OneLineCodeBlock", {"<% x = 1 %>"}, {" x = 1 "}},
        BodyCase{
            "CodeBlockOverSeveralLines",
            {"<%", "If x Then", "%>", "<p>yes</p>", "<%", "End If", "%>"},
            {"", "If x Then", "", "Response.Write (\"<p>yes</p>\" & vbCrlf)", "", "End If", ""}},
        BodyCase{"CodeBlockOpenedAndClosedOnCodeLines",
                 {"<% If x Then", "Response.Write \"yes\"", "End If %>"},
                 {" If x Then", "Response.Write \"yes\"", "End If "}},
        BodyCase{"TextBeforeCodeLostRestIsNewLine",
                 {"<p><% y = 2 %></p>"},
                 {" y = 2 ", "Response.Write (\"</p>\" & vbCrlf)"}},
        BodyCase{"DirectiveLine",
                 {"<%@ LANGUAGE=\"VBSCRIPT\" %>"},
                 {"Response.Write (\"<%@ LANGUAGE=\"\"VBSCRIPT\"\" %>\" & vbCrlf)"}},
        BodyCase{"OptionExplicit", {"<% Option Explicit %>"}, {}}, BodyCase{"EmptyLine", {""}, {}},
        BodyCase{"SpacesOnly", {"     "}, {}},
        BodyCase{"TwoTabsOnly", {"\t\t"}, {"Response.Write (\"  \" & vbCrlf)"}},
        BodyCase{"SpanWithoutPercent", {"<%= x"}, {"<%= x"}}),
    [](const ::testing::TestParamInfo<BodyCase>& info) { return std::string(info.param.name); });

// Further cases of the same rules that a plausible slip would break.
INSTANTIATE_TEST_SUITE_P(
    EdgeCases, BodyPassTable,
    ::testing::Values(
        BodyCase{"SubLineOfPageDroppedAloneBodyKept",
                 {"<%", "Sub Show()", "Response.Write 1", "End Sub", "%>"},
                 {"", "Response.Write 1", "End Sub", ""}},
        BodyCase{"SubWordInHtmlDropsLine",
                 {"<p>a sub title</p>", "<p>next</p>"},
                 {"Response.Write (\"<p>next</p>\" & vbCrlf)"}},
        BodyCase{
            "EndSubAtLineEndIsNoSubWord", {"End Sub"}, {"Response.Write (\"End Sub\" & vbCrlf)"}},
        BodyCase{"CaretStaysWithoutSplice", {"a^b"}, {"Response.Write (\"a^b\" & vbCrlf)"}},
        BodyCase{"CaretBecomesQuoteInSplicedLine",
                 {"a^b <%=c%>"},
                 {"Response.Write (\"a\"b \" & c & \"\" & vbCrlf)"}},
        BodyCase{"FirstPercentEndsExpressionAndNextByteDropped",
                 {"<%= \"50%\" %>x"},
                 {"Response.Write (\"\" &  \"50 & \" %>x\" & vbCrlf)"}},
        BodyCase{"SpliceOnCodeLineCarriesToNextWrite",
                 {"<% y = <%=a%>", "%>", "x^y"},
                 {" y = ^ & a & ^", "", "Response.Write (\"x\"y\" & vbCrlf)"}},
        BodyCase{"OptionExplicitOpeningBlockLeavesFlagAtZero",
                 {"<% Option Explicit", "Dim a", "%>"},
                 {"Response.Write (\"Dim a\" & vbCrlf)", "Response.Write (\"%>\" & vbCrlf)"}},
        BodyCase{"OptionExplicitAnywhereDropsWholeLine", {"<%a%><%option  EXPLICIT%>"}, {}},
        BodyCase{"ThreeSpacesBeforeEqualStay", {"<%   = a %>"}, {"   = a "}},
        BodyCase{"TwoSpacesBeforeEqualNormalised",
                 {"<%  = a %>"},
                 {"Response.Write (\"\" &  a  & \"\" & vbCrlf)"}},
        BodyCase{"CloseWithoutOpenIsText", {"a %> b"}, {"Response.Write (\"a %> b\" & vbCrlf)"}},
        BodyCase{"DirectiveInsideOpenBlockIsCode", {"<%", "<%@ x %>"}, {"", "<%@ x "}},
        BodyCase{"SpacedDirectiveFoundInCompactCopy",
                 {"< % @ x"},
                 {"Response.Write (\"< % @ x\" & vbCrlf)"}},
        BodyCase{"SeveralBlocksOnOneLine", {"<%a%>t<%b%>u<%c%>"}, {"a", "b", "c"}},
        BodyCase{
            "RestTrimmedThenWritten", {"<%a%>   <p>"}, {"a", "Response.Write (\"<p>\" & vbCrlf)"}},
        BodyCase{"SubWordInLineDropsCodeToo",
                 {"<% x %> sub y", "z"},
                 {"Response.Write (\"z\" & vbCrlf)"}},
        BodyCase{"SubWordMadeBySpliceDropsRest",
                 {"<%a%><%=sub%>", "z"},
                 {"a", "Response.Write (\"z\" & vbCrlf)"}},
        BodyCase{"RestOptionExplicitDropsWholeLine", {"<%a%>Option Explicit"}, {}},
        BodyCase{"DroppedLineEndsAnUnfinishedSplice",
                 {"<%= x ' option explicit", "<p class=\"a\">"},
                 {"Response.Write (\"<p class=\"\"a\"\">\" & vbCrlf)"}},
        BodyCase{"DirectiveAfterADroppedUnfinishedSpliceIsQuoted",
                 {"<%= x ' option explicit", "<%@ a=\"b\" %>"},
                 {"Response.Write (\"<%@ a=\"\"b\"\" %>\" & vbCrlf)"}},
        BodyCase{"DirectiveThatLeavesASpliceUnfinishedIsUsedUnchanged",
                 {"<%@ a <%= \"b\""},
                 {"Response.Write (\"<%@ a <%= \"b\"\" & vbCrlf)"}},
        BodyCase{"DirectiveMarkAnywhereMakesWholeLineWriteStatement",
                 {"<%a%><%@ b %>"},
                 {"Response.Write (\"<%a%><%@ b %>\" & vbCrlf)"}},
        BodyCase{"RestIsDirectiveLine",
                 {"<%", "a%><%@ b %>"},
                 {"", "a", "Response.Write (\"<%@ b %>\" & vbCrlf)"}},
        BodyCase{"RestOpensBlockLeftOpen", {"<%a%>x<% b", "c"}, {"a", " b", "c"}},
        BodyCase{"TabIndentedCodeKeepsSpaces",
                 {"<%", "\t\tx = 1", "    y = 2", "%>"},
                 {"", "  x = 1", "y = 2", ""}},
        BodyCase{"UnclosedBlockRunsToEnd", {"<%", "<p>a</p>"}, {"", "<p>a</p>"}}),
    [](const ::testing::TestParamInfo<BodyCase>& info) { return std::string(info.param.name); });

TEST(BodyPassInclude, ReadsIncludeInPlaceAndResetsStates) {
  PageStore store;
  // The include leaves a code block open and a span spliced; both end with the include file.
  store.AddSourceFile("parts.inc", CrLfLines({"<p>in</p>", "<% a = <%=b%>", "c"}));
  BodyRun run = RunBodyPass(
      store, CrLfLines({"<p>before</p>", "x <!-- #include file=\"parts.inc\" --> y", "q^r"}));
  EXPECT_FALSE(run.missing_include.has_value());
  EXPECT_EQ(run.written, CrLfLines({"Response.Write (\"<p>before</p>\" & vbCrlf)",
                                    "Response.Write (\"<p>in</p>\" & vbCrlf)", " a = ^ & b & ^",
                                    "c", "Response.Write (\"q^r\" & vbCrlf)"}));
}

TEST(BodyPassInclude, SubWordDropsRestOfIncludeFileOnly) {
  PageStore store;
  store.AddSourceFile("lib.inc", CrLfLines({"<p>a</p>", "<% Sub S()", "<p>b</p>", "End Sub %>"}));
  BodyRun run = RunBodyPass(store, CrLfLines({"<!--#include file=\"lib.inc\"-->", "<p>page</p>"}));
  EXPECT_EQ(run.written, CrLfLines({"Response.Write (\"<p>a</p>\" & vbCrlf)",
                                    "Response.Write (\"<p>page</p>\" & vbCrlf)"}));
}

TEST(BodyPassInclude, EverythingElseOnDirectiveLineIsLost) {
  PageStore store;
  store.AddSourceFile("r.inc", CrLfLines({"<p>r</p>"}));
  BodyRun run = RunBodyPass(store, CrLfLines({"<% a %><!--#include file=\"r.inc\"--> lost"}));
  EXPECT_EQ(run.written, CrLfLines({"Response.Write (\"<p>r</p>\" & vbCrlf)"}));
}

TEST(BodyPassInclude, MissingIncludeEndsPassAfterLinesWritten) {
  PageStore store;
  BodyRun run = RunBodyPass(
      store, CrLfLines({"<p>1</p>", "<!-- #include file=\"Gone.inc\" -->", "<p>2</p>"}));
  ASSERT_TRUE(run.missing_include.has_value());
  EXPECT_EQ(*run.missing_include, "C:\\site\\Gone.inc");
  EXPECT_EQ(run.written, CrLfLines({"Response.Write (\"<p>1</p>\" & vbCrlf)"}));
}

TEST(BodyPassBytes, ArbitraryBytesPassThroughUnchanged) {
  using std::string_literals::operator""s;
  PageStore store;
  std::string html = "a\0b\xff\rc\x80"s + "\xC4Z";
  std::string code = "<% x = \"\xff\0\x01\" %>"s;
  BodyRun run = RunBodyPass(store, html + "\r\n" + code + "\r\n");
  EXPECT_EQ(run.written,
            "Response.Write (\""s + html + "\" & vbCrlf)\r\n" + " x = \"\xff\0\x01\" "s + "\r\n");
}

}  // namespace
}  // namespace vorlintex::translator
