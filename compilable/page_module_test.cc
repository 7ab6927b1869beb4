#include "compilable/page_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "compilable/identifiers.h"
#include "modulecheck/module_checker.h"
#include "translator/translator_test_support.h"

namespace vorlintex::compilable {
namespace {

using Lines = std::vector<std::string>;

class MapIncludes : public IncludeSource {
 public:
  explicit MapIncludes(std::map<std::string, std::string> files) : files_(std::move(files)) {}
  std::optional<std::string> Read(const std::string& path) override {
    auto found = files_.find(path);
    if (found == files_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::string> files_;
};

class Findings : public RulesObserver {
 public:
  void Found(RulesFinding finding, std::string_view file, int line,
             std::string_view detail) override {
    told += std::string(RulesFindingName(finding)) + " " + std::string(file) + ":" +
            std::to_string(line) + " " + std::string(detail) + "\n";
  }
  std::string told;
};

// The header of a class module the project does not expose: a VBScript class of a page.
Lines ClassHeader(const std::string& name) {
  return {"VERSION 1.0 CLASS",
          "BEGIN",
          "  MultiUse = -1  'True",
          "  Persistable = 0  'NotPersistable",
          "  DataBindingBehavior = 0  'vbNone",
          "  DataSourceBehavior  = 0  'vbNone",
          "  MTSTransactionMode  = 0  'NotAnMTSObject",
          "END",
          "Attribute VB_Name = \"" + name + "\"",
          "Attribute VB_GlobalNameSpace = False",
          "Attribute VB_Creatable = False",
          "Attribute VB_PredeclaredId = False",
          "Attribute VB_Exposed = False"};
}

// The page's whole class module around its declarations, procedures and page method body.
std::string Module(const Lines& declarations, const Lines& procedures, const Lines& body,
                   const std::string& name = "page") {
  Lines top = declarations;
  top.insert(top.end(), procedures.begin(), procedures.end());
  return translator::testing::ExpectedModule(name, translator::testing::CrLfLines(top), "",
                                             translator::testing::CrLfLines(body));
}

std::string Text(const Lines& lines) { return translator::testing::CrLfLines(lines); }

struct Built {
  PageModule module;
  std::string findings;
  std::string missing;
};

Built Build(const std::string& page, std::map<std::string, std::string> includes = {},
            bool pass_over = true, const std::string& name = "page") {
  MapIncludes files(std::move(includes));
  Findings findings;
  ModuleBuilder builder(name, "C:\\root", files, &findings, pass_over);
  Built built;
  if (!builder.AddPage("C:\\site\\page.asp", page)) built.missing = builder.missing_include();
  built.module = builder.Finish();
  built.findings = findings.told;
  return built;
}

struct Case {
  const char* what;
  std::string page;
  Lines declarations, procedures, body;
  std::string findings;
};

TEST(CompilableModuleTest, EachConstructGivesItsModule) {
  const Case cases[] = {
      {"text is sent exactly, line ends as they stand",
       "  <p>\"Hi\"</p>\r\n\r\nend\n",
       {},
       {},
       {"Response.Write \"  <p>\"\"Hi\"\"</p>\" & vbCrLf", "Response.Write vbCrLf",
        "Response.Write \"end\" & vbLf"},
       ""},
      {"text that runs into code gets no line end; text before code is kept",
       "a<% x = 1 %>b",
       {"Dim x"},
       {},
       {"Response.Write \"a\"", "x = 1", "Response.Write \"b\""},
       ""},
      {"an expression is written as its value",
       "<td><%= rs(\"n\") %></td>",
       {},
       {},
       {"Response.Write \"<td>\"", "Response.Write rs(\"n\")", "Response.Write \"</td>\""},
       ""},
      {"directives and Option Explicit are sent nowhere",
       "<%@ Language=VBScript %><% Option Explicit %>",
       {},
       {},
       {},
       ""},
      {"page-level declarations go to module level, once each; Public and Private mean Dim",
       "<% Dim a, b(3) : Const c = 1\r\nPublic d : Private Const e = 2\r\nDim a %>",
       {"Dim a, b(3)", "Private Const c = 1", "Dim d", "Private Const e = 2"},
       {},
       {},
       ""},
      {"a variable only assigned at page level is the page's; ReDim makes a dynamic array",
       "<% Set rs = Nothing : For Each f In x : Next : n(2) = 1 : ReDim arr(3) : o.p = 1 %>",
       {"Dim rs", "Dim f", "Dim n", "Dim arr()"},
       {},
       {"Set rs = Nothing", "For Each f In x", "Next", "n(2) = 1", "ReDim arr(3)", "o.p = 1"},
       ""},
      {"a procedure with HTML inside becomes writes inside the procedure",
       "<% Sub Row(r) %><tr><%= r %></tr>\r\n<% End Sub %>",
       {},
       {"Sub Row(r)", "Response.Write \"<tr>\"", "Response.Write r",
        "Response.Write \"</tr>\" & vbCrLf", "End Sub"},
       {},
       ""},
      {"a %> or sub inside a string or comment is just text",
       "<% s = \"a%>b sub x\" ' sub y\r\nFunction F(v): F = v: End Function %>",
       {"Dim s"},
       {"Function F(v)", "F = v", "End Function"},
       {"s = \"a%>b sub x\" ' sub y"},
       ""},
      {"a comment ends at %>, as the host reads it",
       "<% ' note %>x",
       {},
       {},
       {"' note", "Response.Write \"x\""},
       ""},
      {"a one-line If keeps what follows its Then; blocks stay as written",
       "<% If a Then b = 1: c = 2\r\nIf a Then %>y<% End If %>",
       {"Dim b", "Dim c"},
       {},
       {"If a Then b = 1: c = 2", "If a Then", "Response.Write \"y\"", "End If"},
       ""},
      {"a block's Else with a statement after it is two statements",
       "<% If a Then\r\nb = 1\r\nElse If c Then\r\nb = 2\r\nEnd If\r\nEnd If %>",
       {"Dim b"},
       {},
       {"If a Then", "b = 1", "Else", "If c Then", "b = 2", "End If", "End If"},
       ""},
      {"what a one-line If gives a value after its Else is the page's too",
       "<% If a Then b = 1 Else c = 2: d.e = 3 %>",
       {"Dim b", "Dim c"},
       {},
       {"If a Then b = 1 Else c = 2: d.e = 3"},
       ""},
      {"continued lines stay one statement",
       "<% t = \"a\" & _\r\n    \"b\" : u = 1 %>",
       {"Dim t", "Dim u"},
       {},
       {"t = \"a\" & _", "    \"b\"", "u = 1"},
       ""},
      {"Eval, Execute, ExecuteGlobal and GetRef are kept with a comment; members are fine",
       "<% Execute \"x=1\"\r\nconn.Execute sql %>",
       {},
       {},
       {"' Kept as written; it will not compile: Visual Basic 6 has no Execute.", "Execute \"x=1\"",
        "conn.Execute sql"},
       "no-equivalent C:\\site\\page.asp:1 Execute\n"},
      {"an Eval of a comparison or of Not is the expression itself; another Eval stays",
       "<% b = Eval(Me.ID < 0) And eval (Not (x)) : c = Eval(\"x\" & n) %>",
       {"Dim b", "Dim c"},
       {},
       {"b = (Me.ID < 0) And (Not (x))",
        "' Kept as written; it will not compile: Visual Basic 6 has no Eval.",
        "c = Eval(\"x\" & n)"},
       "no-equivalent C:\\site\\page.asp:1 Eval\n"},
      {"a server script in another language is kept with a comment",
       "<script runat=\"server\" language=\"JScript\">var q = 1;</script>",
       {},
       {},
       {"' Kept as written; it will not compile: a server script in JScript.", "var q = 1;"},
       "foreign-script C:\\site\\page.asp:1 JScript\n"},
      {"an encoded script or expression is kept with a comment",
       "<%#@~^AA==x^#~@%>\r\n<%=#@~^BB==y^#~@%>",
       {},
       {},
       {"' Kept as written; it will not compile: an encoded script (#@~^).", "#@~^AA==x^#~@",
        "Response.Write vbCrLf",
        "' Kept as written; it will not compile: an encoded script (#@~^).", "#@~^BB==y^#~@"},
       "encoded-script C:\\site\\page.asp:1 #@~^\nencoded-script C:\\site\\page.asp:2 #@~^\n"},
      {"a JScript block of functions only is run by a script control the module makes",
       "<script runat=\"server\" language=\"JScript\">\r\n"
       "function twice(s, n) { Response.Write(\"\\\"}\"); return s + s; }\r\n</script>"
       "<%= twice(\"a\", 2) %>",
       {"Dim ServerJScriptControl As Object"},
       {"Private Function twice(ByVal s, ByVal n)",
        "    twice = ServerJScript().Run(\"twice\", s, n)", "End Function",
        "Private Function ServerJScript() As Object", "    If ServerJScriptControl Is Nothing Then",
        "        Set ServerJScriptControl = CreateObject(\"MSScriptControl.ScriptControl\")",
        "        ServerJScriptControl.Language = \"JScript\"",
        "        ServerJScriptControl.AddObject \"Response\", Response",
        "        Dim code As String", "        code = code & vbCrLf",
        "        code = code & \"function twice(s, n) { Response.Write(\"\"\\\"\"}\"\"); return s "
        "+ s; "
        "}\" & vbCrLf",
        "        ServerJScriptControl.AddCode code", "    End If",
        "    Set ServerJScript = ServerJScriptControl", "End Function"},
       {"Response.Write twice(\"a\", 2)"},
       ""},
      {"a VBScript server script block is code",
       "<SCRIPT LANGUAGE=VBScript RUNAT=Server>\r\nSub S()\r\nEnd Sub\r\n</SCRIPT>",
       {},
       {"Sub S()", "End Sub"},
       {},
       ""},
      {"a procedure named by a reserved word or a member of the module is renamed where named",
       "<% Sub Main() : Print \"a\" : End Sub\r\nFunction Print(v) : Print = v : End Function\r\n"
       "Call main() : o.Main = \"Main\" ' Main %>",
       {},
       {"Sub Main_page()", "Print_page \"a\"", "End Sub", "Function Print_page(v)",
        "Print_page = v", "End Function"},
       {"Call Main_page()", "o.Main = \"Main\" ' Main"},
       ""},
      {"a procedure the page leaves open is closed at its end",
       "<% Sub A()\r\nx = 1 %>",
       {},
       {"Sub A()", "x = 1", "End Sub"},
       {},
       "procedure-not-closed C:\\site\\page.asp:1 A\n"},
      {"bytes below 32 go as Chr(n)",
       std::string("a\x01", 2),
       {},
       {},
       {"Response.Write \"a\" & Chr(1)"},
       ""},
  };
  for (const Case& c : cases) {
    Built built = Build(c.page);
    EXPECT_EQ(Text(built.module.lines), Module(c.declarations, c.procedures, c.body)) << c.what;
    EXPECT_EQ(built.findings, c.findings) << c.what;
  }
}

TEST(CompilableModuleTest, IncludesAreReadAsTheHostReadsThem) {
  std::map<std::string, std::string> files = {
      {"C:\\site\\inc\\a.asp", "<!--#include file=\"b.asp\"--><% Sub A() : End Sub %>"},
      {"C:\\site\\inc\\b.asp", "<% Sub B() : End Sub %><!-- #include file=\"a.asp\" -->"},
      {"C:\\root\\lib\\v.asp", "<% Sub V() : End Sub %>"},
      {"C:\\site\\d1.asp", "<% Sub D() : x = 1 : End Sub %>"},
      {"C:\\site\\d2.asp", "<% Sub D() : x = 2 : End Sub %>"},
  };
  Built built = Build(
      "<!-- #include file=\"inc/a.asp\" -->x<!-- #INCLUDE VIRTUAL=\"/lib/v.asp\" -->"
      "<!--#include file=\"inc/a.asp\"--><!--#include file=\"d1.asp\"--><!--#include "
      "file=\"d2.asp\"--><!--#include file=\"none.asp\"-->",
      files);
  EXPECT_EQ(Text(built.module.lines), Module({},
                                             {"Sub B()", "End Sub", "Sub A()", "End Sub", "Sub V()",
                                              "End Sub", "Sub D()", "x = 1", "End Sub"},
                                             {"Response.Write \"x\""}));
  EXPECT_EQ(built.findings,
            "include-cycle C:\\site\\inc\\b.asp:1 C:\\site\\inc\\a.asp\n"
            "include-cycle C:\\site\\inc\\b.asp:1 C:\\site\\inc\\a.asp\n"
            "procedure-redefined C:\\site\\d2.asp:1 D\n"
            "missing-include C:\\site\\page.asp:1 C:\\site\\none.asp\n");

  Built stopped = Build("<!--#include file=\"none.asp\"-->", {}, false);
  EXPECT_EQ(stopped.missing, "C:\\site\\none.asp");
}

// A page of a subfolder reaches up to the source folder, and virtual paths stay under the site
// root; a path out of both is told and never read.
TEST(CompilableModuleTest, IncludesStayUnderTheSourceFolderOrTheSiteRoot) {
  MapIncludes files({
      {"C:\\site\\admin\\..\\inc\\up.asp", "<% Sub Up() : End Sub %>"},
      {"C:\\root\\v.asp", "<% Sub V() : End Sub %>"},
      {"C:\\site\\admin\\..\\..\\secret.asp", "<% Sub Secret() : End Sub %>"},
      {"C:\\root\\..\\secret.asp", "<% Sub Secret() : End Sub %>"},
  });
  Findings findings;
  ModuleBuilder builder("page", "C:\\root", files, &findings, true);
  builder.KeepIncludesUnder("C:\\SITE\\");
  ASSERT_TRUE(
      builder.AddPage("C:\\site\\admin\\page.asp",
                      "<!--#include file=\"../inc/up.asp\"--><!--#include virtual=\"/v.asp\"-->"
                      "<!--#include file=\"../../secret.asp\"-->"
                      "<!--#include virtual=\"/../secret.asp\"-->"));
  EXPECT_EQ(Text(builder.Finish().lines),
            Module({}, {"Sub Up()", "End Sub", "Sub V()", "End Sub"}, {}));
  EXPECT_EQ(findings.told,
            "include-outside C:\\site\\admin\\page.asp:1 C:\\site\\admin\\..\\..\\secret.asp\n"
            "include-outside C:\\site\\admin\\page.asp:1 C:\\root\\..\\secret.asp\n");
  const struct {
    const char* folder;
    const char* path;
    bool within;
  } cases[] = {
      {"C:\\site", "c:/SITE/a/./b.asp", true},
      {"C:\\site", "C:\\site2\\a.asp", false},
      {"C:\\site", "C:\\site\\a\\..\\..\\x", false},
      {"site", "site\\..\\site\\x", true},
      {".", "..\\x", false},
      {".", "x\\..\\y", true},
  };
  for (const auto& c : cases) EXPECT_EQ(PathWithin(c.folder, c.path), c.within) << c.path;
}

TEST(CompilableModuleTest, AClassBecomesAModuleOfItsOwn) {
  Built built = Build(
      "<% Class Cart\r\nPublic Default Function Total() : Response.Write n : End Function\r\n"
      "Private n\r\nEnd Class\r\nSet c = New Cart : Set re = New RegExp %>");
  ASSERT_EQ(built.module.classes.size(), 1u);
  Lines cart = ClassHeader("Cart");
  cart.insert(cart.end(),
              {"Private n", "Public Function Total()", "Attribute Total.VB_UserMemId = 0",
               "Response.Write n", "End Function", "Private Function Response() As Object",
               "    Set Response = "
               "CreateObject(\"MTxAS.AppServer.1\").GetObjectContext()(\"Response\")",
               "End Function"});
  EXPECT_EQ(built.module.classes[0].lines, cart);
  EXPECT_TRUE(built.module.uses_regexp);
  EXPECT_EQ(Text(built.module.lines),
            Module({"Dim c", "Dim re"}, {}, {"Set c = New Cart", "Set re = New RegExp"}));

  // A class left open, in a procedure, is closed at the page's end.
  Built open = Build("<% Class Box\r\nSub Put(v)\r\nx = v %>");
  ASSERT_EQ(open.module.classes.size(), 1u);
  Lines box = ClassHeader("Box");
  box.insert(box.end(), {"Sub Put(v)", "x = v", "End Sub"});
  EXPECT_EQ(open.module.classes[0].lines, box);
  EXPECT_EQ(open.findings, "procedure-not-closed C:\\site\\page.asp:1 Box\n");
}

TEST(CompilableModuleTest, WhatVisualBasicLimitsIsKeptWithinItsLimits) {
  // A text line over the line limit is sent by several statements, none too long.
  Built long_line = Build(std::string(2500, 'x') + "\"\r\n");
  std::string sent;
  for (const std::string& line : long_line.module.lines) {
    EXPECT_LE(line.size(), 1023u);
    if (line.rfind("Response.Write ", 0) == 0) sent += line + "\n";
  }
  const std::string chunk = "Response.Write \"" + std::string(900, 'x') + "\"\n";
  EXPECT_EQ(sent,
            chunk + chunk + "Response.Write \"" + std::string(700, 'x') + "\"\"\" & vbCrLf\n");

  // A large page method is cut into parts where no block is open; error handling set at the
  // top level holds in every part.
  std::string page = "<% On Error Resume Next %>";
  for (int i = 0; i < 2000; ++i) page += "<p>line " + std::to_string(i) + " of the page</p>\r\n";
  page += "<% If a Then %>";
  for (int i = 0; i < 1000; ++i) page += "<p>inside</p>\r\n";
  page += "<% End If %>";
  Lines lines = Build(page).module.lines;
  auto find = [&](const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) - lines.begin();
  };
  ASSERT_LT(find("Private Sub page_Part4()"), static_cast<long>(lines.size()));
  EXPECT_EQ(lines[find("Private Sub page_Part2()") + 1], "On Error Resume Next");
  EXPECT_EQ(lines[find("Set Server = ASPsc.Server") + 2], "page_Part1");
  // The If block is not cut.
  EXPECT_EQ(
      std::count(lines.begin() + find("If a Then"), lines.begin() + find("End If"), "End Sub"), 0);

  // A statement continued over more lines than Visual Basic takes is cut after a "&": a write
  // into writes, an assignment into one that goes on with "s = s & ...". One whose later lines
  // read the variable, or that compares, stays whole.
  auto continued = [](const std::string& head, const std::string& tail) {
    std::string code = head;
    for (int i = 0; i < 29; ++i) code += " \"" + std::to_string(i) + "\" & _\r\n";
    return code + tail;
  };
  auto lines_of = [](const std::string& first, int from, int to, const std::string& last) {
    Lines out{first + " \"" + std::to_string(from) + "\" & _"};
    for (int i = from + 1; i < to; ++i) out.push_back(" \"" + std::to_string(i) + "\" & _");
    out.push_back(last);
    return out;
  };
  Lines writes = lines_of("Response.Write", 0, 15, " \"15\"");
  Lines rest = lines_of("Response.Write", 16, 29, " \"29\"");
  writes.insert(writes.end(), rest.begin(), rest.end());
  Lines assigned = lines_of("s =", 0, 15, " \"15\"");
  rest = lines_of("s = s &", 16, 29, " \"29\" & \"e\"");
  assigned.insert(assigned.end(), rest.begin(), rest.end());
  Built cut = Build("<% " + continued("Response.Write", " \"29\"") + "\r\n" +
                    continued("s =", " \"29\" & \"e\"") + " %>");
  writes.insert(writes.end(), assigned.begin(), assigned.end());
  EXPECT_EQ(Text(cut.module.lines), Module({"Dim s"}, {}, writes));
  // Nor when t is the Function being read: "t = t & ..." would call it.
  for (const std::string& page :
       {"<% " + continued("t =", " t") + " %>", "<% " + continued("t =", " \"a\" = u") + " %>",
        "<% Function T()\r\n" + continued("t =", " \"29\"") + "\r\nEnd Function %>"}) {
    std::vector<std::string> whole = Build(page).module.lines;
    EXPECT_EQ(std::count(whole.begin(), whole.end(), " \"15\" & _"), 1) << page.substr(0, 30);
    EXPECT_EQ(std::count_if(whole.begin(), whole.end(),
                            [](const std::string& line) { return line.rfind("t = ", 0) == 0; }),
              1)
        << page.substr(0, 30);
  }

  // A block larger than a procedure may be has the runs between its own lines moved to
  // procedures of their own, in pieces, where no inner block is open.
  std::string block = "<% Select Case a %><% Case 1 : x = 1 %>";
  for (int i = 0; i < 1500; ++i) block += "<p>line " + std::to_string(i) + " of the case</p>\r\n";
  block +=
      "<% If b Then %><p>in</p><% End If %><% Case Else %>"
      "<% End Select %><% If a Then : If b Then %>" +
      std::string(70000, 'x') + "<% End If : End If %><% With o %>" + std::string(70000, 'y') +
      "<% End With %>";
  Built hoisted = Build(block);
  lines = hoisted.module.lines;
  // The case's 78 KB in three pieces, the last ending with the whole If b block; the If a
  // block holds one block too large, whose own statements go to procedures in turn.
  EXPECT_EQ(Lines(lines.begin() + find("Case 1") + 1, lines.begin() + find("Case 1") + 5),
            (Lines{"page_Block1", "page_Block2", "page_Block3", "Case Else"}));
  EXPECT_EQ(lines[find("Private Sub page_Block1()") + 1], "x = 1");
  EXPECT_EQ(lines[find("Private Sub page_Block4()") - 2], "End If");
  EXPECT_EQ(Lines(lines.begin() + find("If a Then") + 1, lines.begin() + find("If a Then") + 4),
            (Lines{"If b Then", "page_Block4", "page_Block5"}));
  // Nor is a With's body moved: its statements name the With's object by a leading ".".
  EXPECT_EQ(lines[find("With o") + 1].substr(0, 17), "Response.Write \"y");
  // What no cut can bring within a procedure is told, the page's last block too.
  EXPECT_EQ(hoisted.findings, "block-too-large C:\\site\\page.asp:1 page\n");

  // A part is cut before a block that would take it past a procedure's size.
  std::string before_block;
  for (int i = 0; i < 600; ++i) before_block += "<p>line " + std::to_string(i) + " before</p>\r\n";
  before_block += "<% If a Then %>";
  for (int i = 0; i < 1000; ++i) before_block += "<p>line " + std::to_string(i) + " in</p>\r\n";
  before_block += "<% End If %>";
  modulecheck::ModuleChecker checker({});
  for (const std::string& line : Build(before_block).module.lines) checker.Line(line);
  EXPECT_TRUE(checker.Finish().compiles);

  // The class name gives way to a procedure of the page by that name.
  Built clash = Build("<% Sub Page() : End Sub %>");
  EXPECT_EQ(clash.module.class_name, "page_page");
}

TEST(CompilableModuleTest, ClassNamesCompile) {
  const std::pair<const char*, const char*> names[] = {
      {"default", "default"},
      {"my-page", "my_page"},
      {"page 2", "page_2"},
      {"2col", "p2col"},
      {"select", "select_page"},
      {"response", "response_page"},
      {"", "p"},
      // Too long: the start, and a hash of the whole, so that names alike at the start differ.
      {"a-page-whose-name-is-longer-than-a-class-name-may-be",
       "a_page_whose_name_is_longer_tha_4d5f86bf"},
      {"a-page-whose-name-is-longer-than-a-class-name-may-see",
       "a_page_whose_name_is_longer_tha_d3ebe555"},
  };
  for (const auto& [base, expected] : names) {
    EXPECT_EQ(ClassNameFor(base), expected) << base;
    EXPECT_TRUE(IsIdentifier(ClassNameFor(base))) << base;
  }
}

}  // namespace
}  // namespace vorlintex::compilable
