// The globals pass and the script block pass over pages with their edge cases.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "translator/globals_pass.h"
#include "translator/script_block_pass.h"
#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::PageStore;

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

struct ExtractionCase {
  const char* name;
  std::vector<std::string> page_lines;
  std::vector<std::pair<std::string, std::vector<std::string>>> include_files;
  std::vector<std::string> procedures;     // written by the globals pass
  std::vector<std::string> script_blocks;  // written by the script block pass
};

class ExtractionTable : public ::testing::TestWithParam<ExtractionCase> {};

TEST_P(ExtractionTable, CopiesExactlyTheseLines) {
  const ExtractionCase& c = GetParam();
  PageStore store;
  store.AddSourceFile("page.asp", JoinCrLf(c.page_lines));
  for (const auto& [name, lines] : c.include_files) store.AddSourceFile(name, JoinCrLf(lines));
  IncludeResolver includes(testing::kSourceDir, &store.env(), &store.failures());

  std::unique_ptr<fs::TextStream> procedures_stream = store.CreateModule("procedures");
  OutputFile procedures("procedures.cls", std::move(procedures_stream), &store.failures());
  std::unique_ptr<fs::TextStream> page = store.OpenSource("page.asp");
  EXPECT_FALSE(RunGlobalsPass(page.get(), &store.failures(), includes, procedures).has_value());
  EXPECT_EQ(store.ModuleText("procedures"), JoinCrLf(c.procedures));

  std::unique_ptr<fs::TextStream> blocks_stream = store.CreateModule("blocks");
  OutputFile blocks("blocks.cls", std::move(blocks_stream), &store.failures());
  page = store.OpenSource("page.asp");
  RunScriptBlockPass(page.get(), &store.failures(), blocks);
  EXPECT_EQ(store.ModuleText("blocks"), JoinCrLf(c.script_blocks));
  EXPECT_TRUE(store.failures().empty());
}

INSTANTIATE_TEST_SUITE_P(
    ProceduresAndBlocks, ExtractionTable,
    ::testing::Values(
        ExtractionCase{"ProcedureWithIndentation",
                       {"<%", "  Sub Greet(name)", "    Response.Write name", "", "\tIf x Then y",
                        "End Sub", "%>"},
                       {},
                       {"Sub Greet(name)", "Response.Write name", " If x Then y", "End Sub"},
                       {}},
        ExtractionCase{"SubWordAnywhereStartsCopyingHtmlIncluded",
                       {"<p>a Sub title</p>", "<b>x</b>", "<% end SUB %>", "after"},
                       {},
                       {"<p>a Sub title</p>", "<b>x</b>", "<% end SUB %>"},
                       {}},
        ExtractionCase{"TabLineKeptAsSpacesSpaceLineDropped",
                       {"Sub A()", "\t\t", "   ", "End Sub"},
                       {},
                       {"Sub A()", "  ", "End Sub"},
                       {}},
        ExtractionCase{"EndSubInCommentEndsCopying",
                       {"Sub A()", "x ' see end sub", "y"},
                       {},
                       {"Sub A()", "x ' see end sub"},
                       {}},
        ExtractionCase{"ExitSubDoesNotEndCopying",
                       {"Sub A()", "Exit Sub", "y", "End Sub", "z"},
                       {},
                       {"Sub A()", "Exit Sub", "y", "End Sub"},
                       {}},
        ExtractionCase{"ProcedureOnOneLine",
                       {"Sub A() : x : End Sub", "y"},
                       {},
                       {"Sub A() : x : End Sub"},
                       {}},
        ExtractionCase{"SubWordWhileCopyingStartsNothingNew",
                       {"Sub A()", "Sub B()", "End Sub", "End Sub", "Sub C() End Sub"},
                       {},
                       {"Sub A()", "Sub B()", "End Sub", "Sub C() End Sub"},
                       {}},
        ExtractionCase{"FunctionsAreNotCopied", {"Function F()", "End Function"}, {}, {}, {}},
        ExtractionCase{"DirectiveInsideProcedureClearsCopyFlag",
                       {"Sub A()", "x", "<!--#include file=\"plain.inc\"-->", "y", "End Sub"},
                       {{"plain.inc", {"<p>hi</p>"}}},
                       {"Sub A()", "x"},
                       {}},
        ExtractionCase{"IncludeEndingInsideProcedureKeepsCopying",
                       {"<!--#include file=\"open.inc\"-->", "p1", "End Sub", "p2"},
                       {{"open.inc", {"", "  Sub B()", "b1"}}},
                       {"Sub B()", "b1", "p1", "End Sub"},
                       {}},
        ExtractionCase{
            "DirectiveInsideIncludeNotFollowed",
            {"<!--#include file=\"outer.inc\"-->"},
            {{"outer.inc", {"Sub O()", "<!--#include file=\"missing.inc\"-->", "End Sub"}}},
            {"Sub O()", "<!--#include file=\"missing.inc\"-->", "End Sub"},
            {}},
        ExtractionCase{"SubInsideScriptBlockWrittenByBothPasses",
                       {"<script language=\"VBScript\" runat=\"server\">", "Sub S()", "\tx",
                        "End Sub", "Function F()", "End Function", "</script>"},
                       {},
                       {"Sub S()", " x", "End Sub"},
                       {"Sub S()", " x", "End Sub", "Function F()", "End Function"}},
        ExtractionCase{"OpeningAndClosingTagOnOneLineLeavesBlockOpen",
                       {"<SCRIPT RUNAT=Server>x</SCRIPT>", "a", "</script>", "b"},
                       {},
                       {},
                       {"a"}},
        ExtractionCase{
            "RunatInsideBlockDropped",
            {"<script runat=\"server\">", "a", "<div runat=\"x\">", "b", "</script>", "c"},
            {},
            {},
            {"a", "b"}},
        ExtractionCase{"DirectiveInsideBlockCopiedAsLine",
                       {"<script runat=\"server\">", "<!--#include file=\"x.inc\"-->", "</script>"},
                       {{"x.inc", {"<p>x</p>"}}},
                       {},
                       {"<!--#include file=\"x.inc\"-->"}},
        ExtractionCase{"UnclosedBlockCopiesRestOfPage",
                       {"<script runat=\"server\">", "a", "  <p>b</p>", "\t", ""},
                       {},
                       {},
                       {"a", "<p>b</p>", " "}},
        ExtractionCase{"IncludeFilesNotSearchedForBlocks",
                       {"<!--#include file=\"blk.inc\"-->"},
                       {{"blk.inc", {"<script runat=\"server\">", "z", "</script>"}}},
                       {},
                       {}}),
    [](const ::testing::TestParamInfo<ExtractionCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace vorlintex::translator
