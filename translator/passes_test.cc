// Each pass alone over small pages: the worked examples and the edge cases a plausible slip
// would break, compared line for line.
#include <gtest/gtest.h>

#include <string>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::Lines;
using testing::PageStore;

struct BodyCase {
  Lines page;
  Lines written;
  Lines include = {};  // i.inc
};

TEST(BodyPass, WritesExactlyTheseLines) {
  const BodyCase cases[] = {
      {{"<p>Hello</p>"}, {"Response.Write (\"<p>Hello</p>\" & vbCrlf)"}},
      {{"<a href=\"<%= url %>\">go</a>"},
       {"Response.Write (\"<a href=\"\"\" &  url  & \"\"\">go</a>\" & vbCrlf)"}},
      {{"Total: <%=n%> items, <%= \"x\" %> done"},
       {"Response.Write (\"Total: \" & n & \" items, \" &  \"x\"  & \" done\" & vbCrlf)"}},
      {{"<% = a %>"}, {"Response.Write (\"\" &  a  & \"\" & vbCrlf)"}},
      {{"<%  = a %>", "<%   = a %>"}, {"Response.Write (\"\" &  a  & \"\" & vbCrlf)", "   = a "}},
      {{"<%", "If x Then", "%>", "<p>yes</p>", "<%", "End If", "%>"},
       {"", "If x Then", "", "Response.Write (\"<p>yes</p>\" & vbCrlf)", "", "End If", ""}},
      {{"<% If x Then", "Response.Write \"yes\"", "End If %>"},
       {" If x Then", "Response.Write \"yes\"", "End If "}},
      {{"<p><% y = 2 %></p>"}, {" y = 2 ", "Response.Write (\"</p>\" & vbCrlf)"}},
      {{"<%@ LANGUAGE=\"VBSCRIPT\" %>"},
       {"Response.Write (\"<%@ LANGUAGE=\"\"VBSCRIPT\"\" %>\" & vbCrlf)"}},
      {{"<% Option Explicit %>", "", "     ", "<%a%><%option  EXPLICIT%>"}, {}},
      {{"\t\t", "<%= x"}, {"Response.Write (\"  \" & vbCrlf)", "<%= x"}},
      {{"<%", "Sub Show()", "Response.Write 1", "End Sub", "%>"},
       {"", "Response.Write 1", "End Sub", ""}},
      {{"<p>a sub title</p>", "End Sub"}, {"Response.Write (\"End Sub\" & vbCrlf)"}},
      {{"a^b", "a^b <%=c%>"},
       {"Response.Write (\"a^b\" & vbCrlf)", "Response.Write (\"a\"b \" & c & \"\" & vbCrlf)"}},
      {{"<%= \"50%\" %>x"}, {"Response.Write (\"\" &  \"50 & \" %>x\" & vbCrlf)"}},
      {{"<% y = <%=a%>", "%>", "x^y"},
       {" y = ^ & a & ^", "", "Response.Write (\"x\"y\" & vbCrlf)"}},
      {{"<% Option Explicit", "Dim a", "%>"},
       {"Response.Write (\"Dim a\" & vbCrlf)", "Response.Write (\"%>\" & vbCrlf)"}},
      {{"<%", "<%@ x %>", "< % @ x"}, {"", "<%@ x ", "Response.Write (\"< % @ x\" & vbCrlf)"}},
      {{"<%a%>t<%b%>u<%c%>", "<%a%>   <p>"},
       {"a", "b", "c", "a", "Response.Write (\"<p>\" & vbCrlf)"}},
      {{"<% x %> sub y", "<%a%><%=sub%>", "z"}, {"a", "Response.Write (\"z\" & vbCrlf)"}},
      {{"<%= x ' option explicit", "<%@ a=\"b\" %>", "<%@ a <%= \"b\""},
       {"Response.Write (\"<%@ a=\"\"b\"\" %>\" & vbCrlf)",
        "Response.Write (\"<%@ a <%= \"b\"\" & vbCrlf)"}},
      {{"<%a%><%@ b %>", "<%", "a%><%@ b %>"},
       {"Response.Write (\"<%a%><%@ b %>\" & vbCrlf)", "", "a",
        "Response.Write (\"<%@ b %>\" & vbCrlf)"}},
      {{"<%a%>x<% b", "c", "\t\tx = 1", "    y = 2", "%>"},
       {"a", " b", "c", "  x = 1", "y = 2", ""}},
      // An include is read in place; a code block or splice left open ends with it, and the
      // rest of the directive line is lost.
      {{"<p>before</p>", "x <!-- #include file=\"i.inc\" --> y", "q^r"},
       {"Response.Write (\"<p>before</p>\" & vbCrlf)", "Response.Write (\"<p>in</p>\" & vbCrlf)",
        " a = ^ & b & ^", "c", "Response.Write (\"q^r\" & vbCrlf)"},
       {"<p>in</p>", "<% a = <%=b%>", "c"}},
      {{"<% a %><!--#include file=\"i.inc\"--> lost", "<p>page</p>"},
       {"Response.Write (\"<p>a</p>\" & vbCrlf)", "Response.Write (\"<p>page</p>\" & vbCrlf)"},
       {"<p>a</p>", "<% Sub S()", "<p>b</p>", "End Sub %>"}},
  };
  for (const BodyCase& c : cases) {
    PageStore store;
    store.AddPage(c.page, {{"i.inc", c.include}});
    PageStore::PassRun run = store.RunPass(PageStore::Pass::kBody);
    EXPECT_FALSE(run.missing_include.has_value());
    EXPECT_EQ(run.written, CrLfLines(c.written)) << CrLfLines(c.page);
    EXPECT_TRUE(store.failures().empty());
  }
}

struct ExtractionCase {
  Lines page;
  Lines procedures;     // written by the globals pass
  Lines script_blocks;  // written by the script block pass
  Lines include = {};   // i.inc
};

TEST(ExtractionPasses, CopyExactlyTheseLines) {
  const ExtractionCase cases[] = {
      {{"<%", "  Sub Greet(name)", "    Response.Write name", "", "\tIf x Then y", "\t\t",
        "End Sub", "%>"},
       {"Sub Greet(name)", "Response.Write name", " If x Then y", "  ", "End Sub"},
       {}},
      {{"<p>a Sub title</p>", "<b>x</b>", "<% end SUB %>", "after"},
       {"<p>a Sub title</p>", "<b>x</b>", "<% end SUB %>"},
       {}},
      {{"Sub A()", "Exit Sub", "x ' see end sub", "y"},
       {"Sub A()", "Exit Sub", "x ' see end sub"},
       {}},
      {{"Sub A()", "Sub B()", "End Sub", "End Sub", "Sub C() End Sub", "Function F()"},
       {"Sub A()", "Sub B()", "End Sub", "Sub C() End Sub"},
       {}},
      {{"Sub A()", "x", "<!--#include file=\"i.inc\"-->", "y", "End Sub"},
       {"Sub A()", "x"},
       {},
       {"<p>hi</p>"}},
      {{"<!--#include file=\"i.inc\"-->", "p1", "End Sub", "p2"},
       {"Sub B()", "<!--#include file=\"missing.inc\"-->", "b1", "p1", "End Sub"},
       {},
       {"", "  Sub B()", "<!--#include file=\"missing.inc\"-->", "b1"}},
      {{"<script language=\"VBScript\" runat=\"server\">", "Sub S()", "\tx", "End Sub",
        "Function F()", "End Function", "</script>"},
       {"Sub S()", " x", "End Sub"},
       {"Sub S()", " x", "End Sub", "Function F()", "End Function"}},
      {{"<SCRIPT RUNAT=Server>x</SCRIPT>", "a", "<div runat=\"x\">", "</script>", "b"}, {}, {"a"}},
      {{"<script runat=\"server\">", "<!--#include file=\"i.inc\"-->", "  <p>b</p>", "\t", ""},
       {},
       {"<!--#include file=\"i.inc\"-->", "<p>b</p>", " "},
       {"<script runat=\"server\">", "z", "</script>"}},
  };
  for (const ExtractionCase& c : cases) {
    PageStore store;
    store.AddPage(c.page, {{"i.inc", c.include}});
    PageStore::PassRun globals = store.RunPass(PageStore::Pass::kGlobals);
    EXPECT_FALSE(globals.missing_include.has_value());
    EXPECT_EQ(globals.written, CrLfLines(c.procedures)) << CrLfLines(c.page);
    EXPECT_EQ(store.RunPass(PageStore::Pass::kScriptBlocks).written, CrLfLines(c.script_blocks))
        << CrLfLines(c.page);
    EXPECT_TRUE(store.failures().empty());
  }
}

}  // namespace
}  // namespace vorlintex::translator
