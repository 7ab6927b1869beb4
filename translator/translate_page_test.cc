// Whole pages, with their include files, translated into whole class modules.
#include "translator/translate_page.h"

#include <gtest/gtest.h>

#include <string>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using std::string_literals::operator""s;
using testing::CrLfLines;
using testing::ExpectedHeader;
using testing::ExpectedModule;
using testing::Lines;
using testing::PageStore;

struct PageCase {
  std::string base_name;
  Lines page;
  std::vector<std::pair<std::string, Lines>> includes;
  Lines procedures;
  Lines script_blocks;
  Lines body;
  // The include path that ended the translation, after the procedures copied up to then.
  std::optional<std::string> missing_include = {};
};

const PageCase kPages[] = {
    {"2nd-page x", {}, {}, {}, {}, {}},
    {"orders",
     {"<%@ LANGUAGE=\"VBSCRIPT\" %>",
      "<% Option Explicit %>",
      "<!-- #include file=\"lib.inc\" -->",
      "<script language=\"VBScript\" runat=\"Server\">",
      "Function Total(a, b)",
      "\tTotal = a + b",
      "End Function",
      "</script>",
      "<%",
      "Sub ShowRow(name)",
      "    Response.Write name",
      "",
      "End Sub",
      "%>",
      "  <body>",
      "\t<a href=\"<%= link %>\" title=\"<%=Title(\"x\")%>\">Go</a>",
      "<%",
      "\tIf Total(1, 2) = 3 Then",
      "    ShowRow \"three\"",
      "\tEnd If",
      "%>"},
     {{"lib.inc",
       {"<%", "Sub Header()", "\tResponse.Write \"<h1>Hi</h1>\"", "End Sub", "%>", "<p>lib</p>"}}},
     {"Sub Header()", " Response.Write \"<h1>Hi</h1>\"", "End Sub", "Sub ShowRow(name)",
      "Response.Write name", "End Sub"},
     {"Function Total(a, b)", " Total = a + b", "End Function"},
     {"Response.Write (\"<%@ LANGUAGE=\"\"VBSCRIPT\"\" %>\" & vbCrlf)", "",
      "Response.Write (\"<script language=\"\"VBScript\"\" runat=\"\"Server\"\">\" & vbCrlf)",
      "Response.Write (\"Function Total(a, b)\" & vbCrlf)",
      "Response.Write (\" Total = a + b\" & vbCrlf)", "Response.Write (\"End Function\" & vbCrlf)",
      "Response.Write (\"</script>\" & vbCrlf)", "", "Response.Write name", "End Sub", "",
      "Response.Write (\"<body>\" & vbCrlf)",
      "Response.Write (\" <a href=\"\"\" &  link  & \"\"\" title=\"\"\" & Title(\"x\") & "
      "\"\"\">Go</a>\" & vbCrlf)",
      "", " If Total(1, 2) = 3 Then", "ShowRow \"three\"", " End If", ""}},
    // Everything before the globals pass met the missing file, and nothing after.
    {"shop",
     {"<% Sub A()", "x", "End Sub %>", "<!-- #include file=\"Gone.inc\" -->", "<% Sub B() %>"},
     {},
     {"<% Sub A()", "x", "End Sub %>"},
     {},
     {},
     "C:\\site\\Gone.inc"},
    // Only ASCII letters are folded for the keyword tests; every byte is written as read.
    {"bytes",
     {"Sub \xC4\0\xff(a\rb)"s, "End Sub", "<script runat=server>", "x = \"\0\x80\r\xD3\""s,
      "</script>", "<p>\xff\0\r\xC0SUB</p>"s},
     {},
     {"Sub \xC4\0\xff(a\rb)"s, "End Sub"},
     {"x = \"\0\x80\r\xD3\""s},
     {"Response.Write (\"End Sub\" & vbCrlf)",
      "Response.Write (\"<script runat=server>\" & vbCrlf)",
      "Response.Write (\"x = \"\"\0\x80\r\xD3\"\"\" & vbCrlf)"s,
      "Response.Write (\"</script>\" & vbCrlf)",
      "Response.Write (\"<p>\xff\0\r\xC0SUB</p>\" & vbCrlf)"s}},
};

TEST(TranslatePage, WholeClassModules) {
  for (const PageCase& c : kPages) {
    PageStore store;
    store.AddSourceFile(c.base_name + ".asp", CrLfLines(c.page));
    for (const auto& [name, lines] : c.includes) store.AddSourceFile(name, CrLfLines(lines));
    TranslationResult result = store.Translate(c.base_name);
    EXPECT_EQ(result.missing_include, c.missing_include) << c.base_name;
    EXPECT_EQ(store.ModuleText(c.base_name),
              c.missing_include ? ExpectedHeader(c.base_name) + CrLfLines(c.procedures)
                                : ExpectedModule(c.base_name, CrLfLines(c.procedures),
                                                 CrLfLines(c.script_blocks), CrLfLines(c.body)));
    EXPECT_TRUE(store.failures().empty()) << c.base_name;
  }
}

}  // namespace
}  // namespace vorlintex::translator
