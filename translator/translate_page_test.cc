#include "translator/translate_page.h"

#include <gtest/gtest.h>

#include <string>

#include "translator/translator_test_support.h"

namespace vorlintex::translator {
namespace {

using testing::CrLfLines;
using testing::ExpectedModule;
using testing::PageStore;

TEST(TranslatePage, EmptyPageGivesTheFixedLinesOnly) {
  PageStore store;
  store.AddSourceFile("empty.asp", "");
  TranslationResult result = store.Translate("empty");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(store.ModuleText("empty"),
            "VERSION 1.0 CLASS\r\n"
            "BEGIN\r\n"
            "  MultiUse = -1  'True\r\n"
            "  Persistable = 0  'NotPersistable\r\n"
            "  DataBindingBehavior = 0  'vbNone\r\n"
            "  DataSourceBehavior  = 0  'vbNone\r\n"
            "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
            "END\r\n"
            "Attribute VB_Name = \"empty\"\r\n"
            "Attribute VB_GlobalNameSpace = False\r\n"
            "Attribute VB_Creatable = True\r\n"
            "Attribute VB_PredeclaredId = False\r\n"
            "Attribute VB_Exposed = True\r\n"
            "'Global Scripting Context\r\n"
            "Dim ASPsc As ScriptingContext\r\n"
            "Dim Application As Object\r\n"
            "Dim Request As Object\r\n"
            "Dim Session As Object\r\n"
            "Dim Response As Object\r\n"
            "Dim Server As Object\r\n"
            "\r\n"
            "'Global variables\r\n"
            "\r\n"
            "Public Sub Main()\r\n"
            "End Sub\r\n"
            "Public Sub OnStartPage(ASPScriptingContext As ScriptingContext)\r\n"
            "'Set global variable to reference in other functions and subs\r\n"
            "    Set ASPsc = ASPScriptingContext\r\n"
            "End Sub\r\n"
            "Public Sub OnEndPage()\r\n"
            "    Set ASPsc = Nothing\r\n"
            "End Sub\r\n"
            "Public Sub empty()\r\n"
            "\r\n"
            "Set Application = ASPsc.Application\r\n"
            "Set Request = ASPsc.Request\r\n"
            "Set Session = ASPsc.Session\r\n"
            "Set Response = ASPsc.Response\r\n"
            "Set Server = ASPsc.Server\r\n"
            "\r\n"
            "End Sub\r\n");
  EXPECT_TRUE(store.failures().empty());
}

TEST(TranslatePage, WholePageWithProceduresBlocksDirectivesAndSpans) {
  PageStore store;
  store.AddSourceFile("lib.inc", CrLfLines({
                                     "<%",
                                     "Sub Header()",
                                     "\tResponse.Write \"<h1>Hi</h1>\"",
                                     "End Sub",
                                     "%>",
                                     "<p>lib</p>",
                                 }));
  store.AddSourceFile("orders.asp",
                      CrLfLines({
                          "<%@ LANGUAGE=\"VBSCRIPT\" %>",
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
                          "<html>",
                          "  <body>",
                          "\t<a href=\"<%= link %>\" title=\"<%=Title(\"x\")%>\">Go</a>",
                          "<%",
                          "\tIf Total(1, 2) = 3 Then",
                          "    ShowRow \"three\"",
                          "\tEnd If",
                          "%>",
                          "</body>",
                          "</html>",
                      }));
  TranslationResult result = store.Translate("orders");
  EXPECT_FALSE(result.missing_include.has_value());
  EXPECT_EQ(
      store.ModuleText("orders"),
      "VERSION 1.0 CLASS\r\n"
      "BEGIN\r\n"
      "  MultiUse = -1  'True\r\n"
      "  Persistable = 0  'NotPersistable\r\n"
      "  DataBindingBehavior = 0  'vbNone\r\n"
      "  DataSourceBehavior  = 0  'vbNone\r\n"
      "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
      "END\r\n"
      "Attribute VB_Name = \"orders\"\r\n"
      "Attribute VB_GlobalNameSpace = False\r\n"
      "Attribute VB_Creatable = True\r\n"
      "Attribute VB_PredeclaredId = False\r\n"
      "Attribute VB_Exposed = True\r\n"
      "'Global Scripting Context\r\n"
      "Dim ASPsc As ScriptingContext\r\n"
      "Dim Application As Object\r\n"
      "Dim Request As Object\r\n"
      "Dim Session As Object\r\n"
      "Dim Response As Object\r\n"
      "Dim Server As Object\r\n"
      "\r\n"
      "'Global variables\r\n"
      "\r\n"
      "Sub Header()\r\n"
      " Response.Write \"<h1>Hi</h1>\"\r\n"
      "End Sub\r\n"
      "Sub ShowRow(name)\r\n"
      "Response.Write name\r\n"
      "End Sub\r\n"
      "Public Sub Main()\r\n"
      "End Sub\r\n"
      "Public Sub OnStartPage(ASPScriptingContext As ScriptingContext)\r\n"
      "'Set global variable to reference in other functions and subs\r\n"
      "    Set ASPsc = ASPScriptingContext\r\n"
      "End Sub\r\n"
      "Public Sub OnEndPage()\r\n"
      "    Set ASPsc = Nothing\r\n"
      "End Sub\r\n"
      "Function Total(a, b)\r\n"
      " Total = a + b\r\n"
      "End Function\r\n"
      "Public Sub orders()\r\n"
      "\r\n"
      "Set Application = ASPsc.Application\r\n"
      "Set Request = ASPsc.Request\r\n"
      "Set Session = ASPsc.Session\r\n"
      "Set Response = ASPsc.Response\r\n"
      "Set Server = ASPsc.Server\r\n"
      "\r\n"
      "Response.Write (\"<%@ LANGUAGE=\"\"VBSCRIPT\"\" %>\" & vbCrlf)\r\n"
      "\r\n"
      "Response.Write (\"<script language=\"\"VBScript\"\" runat=\"\"Server\"\">\" & vbCrlf)\r\n"
      "Response.Write (\"Function Total(a, b)\" & vbCrlf)\r\n"
      "Response.Write (\" Total = a + b\" & vbCrlf)\r\n"
      "Response.Write (\"End Function\" & vbCrlf)\r\n"
      "Response.Write (\"</script>\" & vbCrlf)\r\n"
      "\r\n"
      "Response.Write name\r\n"
      "End Sub\r\n"
      "\r\n"
      "Response.Write (\"<html>\" & vbCrlf)\r\n"
      "Response.Write (\"<body>\" & vbCrlf)\r\n"
      "Response.Write (\" <a href=\"\"\" &  link  & \"\"\" title=\"\"\" & Title(\"x\") & "
      "\"\"\">Go</a>\" & vbCrlf)\r\n"
      "\r\n"
      " If Total(1, 2) = 3 Then\r\n"
      "ShowRow \"three\"\r\n"
      " End If\r\n"
      "\r\n"
      "Response.Write (\"</body>\" & vbCrlf)\r\n"
      "Response.Write (\"</html>\" & vbCrlf)\r\n"
      "End Sub\r\n");
  EXPECT_TRUE(store.failures().empty());
}

// Everything before the globals pass met the missing file, and nothing after.
TEST(TranslatePage, MissingIncludeInGlobalsPassStopsAfterLinesCopied) {
  PageStore store;
  store.AddSourceFile(
      "shop.asp", CrLfLines({"<% Sub A()", "x", "End Sub %>", "<!-- #include file=\"Gone.inc\" -->",
                             "<% Sub B() %>"}));
  TranslationResult result = store.Translate("shop");
  ASSERT_TRUE(result.missing_include.has_value());
  EXPECT_EQ(*result.missing_include, "C:\\site\\Gone.inc");
  EXPECT_EQ(store.ModuleText("shop"),
            "VERSION 1.0 CLASS\r\n"
            "BEGIN\r\n"
            "  MultiUse = -1  'True\r\n"
            "  Persistable = 0  'NotPersistable\r\n"
            "  DataBindingBehavior = 0  'vbNone\r\n"
            "  DataSourceBehavior  = 0  'vbNone\r\n"
            "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
            "END\r\n"
            "Attribute VB_Name = \"shop\"\r\n"
            "Attribute VB_GlobalNameSpace = False\r\n"
            "Attribute VB_Creatable = True\r\n"
            "Attribute VB_PredeclaredId = False\r\n"
            "Attribute VB_Exposed = True\r\n"
            "'Global Scripting Context\r\n"
            "Dim ASPsc As ScriptingContext\r\n"
            "Dim Application As Object\r\n"
            "Dim Request As Object\r\n"
            "Dim Session As Object\r\n"
            "Dim Response As Object\r\n"
            "Dim Server As Object\r\n"
            "\r\n"
            "'Global variables\r\n"
            "\r\n"
            "<% Sub A()\r\n"
            "x\r\n"
            "End Sub %>\r\n");
}

TEST(TranslatePage, BaseNameIsWrittenUnchanged) {
  PageStore store;
  store.AddSourceFile("2nd-page x.asp", "");
  EXPECT_FALSE(store.Translate("2nd-page x").missing_include.has_value());
  EXPECT_EQ(store.ModuleText("2nd-page x"), ExpectedModule("2nd-page x", "", "", ""));
}

// Only ASCII letters are folded for the keyword tests; every byte is written as read.
TEST(TranslatePage, ArbitraryBytesPassThroughEveryPass) {
  using std::string_literals::operator""s;
  PageStore store;
  std::string procedure = "Sub \xC4\0\xff(a\rb)"s;
  std::string script = "x = \"\0\x80\r\xD3\""s;
  std::string html = "<p>\xff\0\r\xC0SUB</p>"s;
  store.AddSourceFile("bytes.asp", procedure + "\r\n" + "End Sub\r\n" +
                                       "<script runat=server>\r\n" + script + "\r\n" +
                                       "</script>\r\n" + html + "\r\n");
  EXPECT_FALSE(store.Translate("bytes").missing_include.has_value());
  EXPECT_EQ(store.ModuleText("bytes"),
            ExpectedModule("bytes", procedure + "\r\n" + "End Sub\r\n", script + "\r\n",
                           "Response.Write (\"End Sub\" & vbCrlf)\r\n"
                           "Response.Write (\"<script runat=server>\" & vbCrlf)\r\n"
                           "Response.Write (\"x = \"\"\0\x80\r\xD3\"\"\" & vbCrlf)\r\n"s +
                               "Response.Write (\"</script>\" & vbCrlf)\r\n" +
                               "Response.Write (\"" + html + "\" & vbCrlf)\r\n"));
  EXPECT_TRUE(store.failures().empty());
}

}  // namespace
}  // namespace vorlintex::translator
