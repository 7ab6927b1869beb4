// Modules Visual Basic 6 compiles and modules it refuses, each refused one for a single reason,
// named with its line.
#include "modulecheck/module_checker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlintex::modulecheck {
namespace {

using Lines = std::vector<std::string>;

// The fixed lines every written module starts with (translator/class_module_layout.cc).
Lines Header(const std::string& name = "page") {
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
          "Attribute VB_Creatable = True",
          "Attribute VB_PredeclaredId = False",
          "Attribute VB_Exposed = True",
          "'Global Scripting Context",
          "Dim ASPsc As ScriptingContext",
          "Dim Application As Object",
          "Dim Request As Object",
          "Dim Session As Object",
          "Dim Response As Object",
          "Dim Server As Object",
          "",
          "'Global variables",
          ""};
}
const size_t kHeaderLines = Header().size();

Lines Module(const Lines& body) {
  Lines lines = Header();
  lines.insert(lines.end(), body.begin(), body.end());
  return lines;
}

Lines Repeat(const std::string& line, size_t n) { return Lines(n, line); }

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

ModuleVerdict Check(const Lines& lines, ModuleContext context = {}) {
  ModuleChecker checker(context);
  for (const std::string& line : lines) checker.Line(line);
  return checker.Finish();
}

std::string Describe(const ModuleVerdict& verdict) {
  std::string text = std::to_string(verdict.reason_count) + " reasons";
  for (const Reason& r : verdict.first_reasons) {
    text += "\n  " + std::string(CauseName(r.cause)) + ": " + Explain(r);
  }
  return text;
}

TEST(ModuleChecker, ModulesThatCompile) {
  const std::vector<Lines> kBodies = {
      {},
      // The standard methods and a page method as the translator writes them.
      {"Public Sub Main()", "End Sub",
       "Public Sub OnStartPage(ASPScriptingContext As ScriptingContext)",
       "    Set ASPsc = ASPScriptingContext", "End Sub", "Public Sub page()",
       "Response.Write (\"<% a; b { c } %> 'x: Rem \"\"q\"\"\" & vbCrlf)", "End Sub"},
      // Single-line Ifs, with Else and after ":"; a block If whose Then has a comment.
      {"Sub A()", "If a Then b = 1", "If a Then b = 1 Else b = 2", "If a Then: b = 1",
       "If a Then Exit Sub Else Next", "If a Then ' block", "ElseIf b Then", "Else",
       "  If c Then Rem \"odd", "  end if", "End If", "End Sub"},
      // Every block nested in every other; Next closing two; any letter case.
      {"Function F(x)",
       "For i = 1 To 3: For j = 1 To 2",
       "Next j, i",
       "FOR EACH v IN x",
       "  Do While v",
       "    While w",
       "      Select Case v",
       "        Case 1",
       "        Case Else",
       "          With v",
       "            Do",
       "              .Execute",
       "            Loop Until x",
       "          End With",
       "      END SELECT",
       "    Wend",
       "  Loop",
       "Next v",
       "For k = 1 To 2: Exit For: Next",
       "End Function"},
      // Continuations, a comment going on past its " _", labels, line numbers, named arguments.
      {"Sub A()", "x = 1 + _", "    2", "' note _", "still a \"comment", "Retry: x = 2",
       "100 x = 3", "MsgBox Prompt:=\"a\", Title:=\"b\"", "If i%>3 Then Debug.Print a; b",
       "End Sub"},
      // One property of three procedures; Exit Property; an attribute inside a procedure.
      {"Public Property Get Item() As Variant", "Attribute Item.VB_UserMemId = 0", "Exit Property",
       "End Property", "Public Property Let Item(v As Variant)", "End Property",
       "Public Property Set Item(v As Object)", "End Property"},
      // Every declaration a class module may make.
      {"Option Explicit", "Implements IThing", "DefInt A-Z", "Private Const kA = 1", "Const kB = 2",
       "Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
       "Public Total As Long, Name As String", "Public WithEvents Conn As Connection",
       "Private Names(3) As String", "Dim Code As String * 4", "Public Event Changed(x As Long)",
       "Public Enum Colour", "  Red = 1", "End Enum", "Private Type Pair", "  a As Long",
       "End Type"},
      // Members named like VBScript's functions; VBScript names a procedure of the module takes.
      {"Sub A()", "conn.Execute sql: x = obj.Eval(y): rs!Execute = 1", "x = Eval(\"1\")", "End Sub",
       "Function Eval(e)", "End Function"},
      // A number ends at a letter that begins no exponent: "0Then" is 0 and Then, "1Else" 1
      // and Else, as Visual Basic's number tokens are digits, a fraction, an exponent and a
      // type character.
      {"Sub A()", "If x = 0Then", "y = 1.5E+5: z = 10#: w = &H1F: v = 2D3", "End If",
       "If x Then y = 1Else y = 2", "End Sub"},
      // The longest line, and 24 continuations.
      Join({{"Sub A()", "'" + std::string(1022, 'x'), "x = 1 _"},
            Repeat("  + 1 _", 23),
            {"  + 1", "End Sub"}}),
  };
  for (const Lines& body : kBodies) {
    const ModuleVerdict verdict = Check(Module(body));
    EXPECT_TRUE(verdict.compiles) << (body.empty() ? "(header)" : body[0]) << "\n"
                                  << Describe(verdict);
  }
  EXPECT_TRUE(Check(Module({"Sub A()", "Set r = New RegExp", "End Sub", "Dim s As RegExp"}),
                    ModuleContext{true})
                  .compiles);
}

struct FailCase {
  Lines body;  // after the fixed header lines, or the whole module when `whole`
  Cause cause;
  size_t line;  // 1 = the first line of `body`
  bool whole = false;
};

std::vector<FailCase> FailCases() {
  Lines no_begin = Header();
  no_begin.erase(no_begin.begin() + 1, no_begin.begin() + 8);
  Lines open_begin = Header();
  open_begin.erase(open_begin.begin() + 7);
  Lines no_name = Header();
  no_name.erase(no_name.begin() + 8);
  Lines bad_property = Header();
  bad_property[3] = "  Persistable";
  Lines bad_attribute = Header();
  bad_attribute[12] = "Attribute VB_Exposed True";
  Lines bad_version = Header();
  bad_version[0] = "VERSION 5.00";
  return {
      {bad_version, Cause::kMissingVersion, 1, true},
      {{}, Cause::kMissingVersion, 1, true},
      {no_begin, Cause::kHeaderBlock, 2, true},
      {open_begin, Cause::kHeaderBlock, 2, true},
      {bad_property, Cause::kHeaderBlock, 4, true},
      {bad_attribute, Cause::kBadAttribute, 13, true},
      {no_name, Cause::kMissingName, 13, true},
      {Header("my-page"), Cause::kInvalidName, 9, true},
      {Header("2nd"), Cause::kInvalidName, 9, true},
      {Header(std::string(41, 'a')), Cause::kInvalidName, 9, true},
      {Header("Select"), Cause::kReservedName, 9, true},
      {Header("error"), Cause::kReservedName, 9, true},
      {{"Public Sub select()", "End Sub"}, Cause::kReservedName, 1},
      {{"Sub my-page()", "End Sub"}, Cause::kInvalidName, 1},
      {{"Sub " + std::string(256, 'b') + "()", "End Sub"}, Cause::kInvalidName, 1},
      {{"Public Sub page()", "Function Total(a, b)", "End Function", "End Sub"},
       Cause::kNestedProcedure,
       2},
      {{"Sub A()", "x = 1"}, Cause::kUnclosedProcedure, 1},
      {{"Sub A()", "End Function"}, Cause::kMismatchedEnd, 2},
      {{"Function F()", "Exit Sub", "End Function"}, Cause::kMismatchedEnd, 2},
      {{"End Sub"}, Cause::kStrayEnd, 1},
      {{"Sub A()", "End Sub", "Function a()", "End Function"}, Cause::kDuplicateProcedure, 3},
      {{"Property Get P()", "End Property", "Property Get P()", "End Property"},
       Cause::kDuplicateProcedure,
       3},
      {{"Sub A()", "End Sub", "Property Let a(v)", "End Property"}, Cause::kDuplicateProcedure, 3},
      {{"Sub A()", "If x Then ' a comment", "End Sub"}, Cause::kUnclosedBlock, 2},
      {{"Sub A()", "With x", "  For Each v In w", "  Next", "End Sub"}, Cause::kUnclosedBlock, 2},
      {{"Public Enum Colour", "  Red", "Sub A()", "End Sub"}, Cause::kUnclosedBlock, 1},
      {{"Sub A()", "If a Then", "Do", "End If", "End Sub"}, Cause::kMismatchedBlock, 4},
      {{"Sub A()", "For i = 1 To 2", "Next j", "End Sub"}, Cause::kMismatchedBlock, 3},
      {{"Private Type T", "End Enum"}, Cause::kMismatchedBlock, 2},
      {{"Sub A()", "Next", "End Sub"}, Cause::kUnopenedBlock, 2},
      {{"Sub A()", "x = 1: Wend", "End Sub"}, Cause::kUnopenedBlock, 2},
      {{"Sub A()", "Case 1", "End Sub"}, Cause::kUnopenedBlock, 2},
      {{"Sub A()", "Else", "End Sub"}, Cause::kUnopenedBlock, 2},
      {{"Sub A()", "Do: Loop: Exit Do", "End Sub"}, Cause::kUnopenedBlock, 2},
      {{"Sub A()", "If a Then: Next", "For i = 1 To 2", "Exit Do", "Next", "End Sub"},
       Cause::kUnopenedBlock,
       4},
      {Join({{"Sub A()", "x = 1 _"}, Repeat("  + 1 _", 24), {"  + 1", "End Sub"}}),
       Cause::kTooManyContinuations, 26},
      {Join({{"Sub A()", "' a _"}, Repeat("  b _", 24), {"  c", "End Sub"}}),
       Cause::kTooManyContinuations, 26},
      {{"Sub A()", "x = 1 _", "", "End Sub"}, Cause::kDanglingContinuation, 2},
      {{"Sub A()", "End Sub _"}, Cause::kDanglingContinuation, 2},
      {{"Sub A()", "Response.Write \"a\"\" _", "End Sub"}, Cause::kUnclosedString, 2},
      {{"Sub A()", "'" + std::string(1023, 'x'), "End Sub"}, Cause::kLineTooLong, 2},
      {{"Response.Write \"x\""}, Cause::kStatementOutsideProcedure, 1},
      {{"Retry:"}, Cause::kStatementOutsideProcedure, 1},
      {{"If a Then Dim b"}, Cause::kStatementOutsideProcedure, 1},
      {{"Sub A()", "Public x", "End Sub"}, Cause::kDeclarationInProcedure, 2},
      {{"Sub A()", "x = 1: Private Const k = 1", "End Sub"}, Cause::kDeclarationInProcedure, 2},
      {{"Public Const kA = 1"}, Cause::kPublicNotAllowed, 1},
      {{"Public Declare Function GetTickCount Lib \"kernel32\" () As Long"},
       Cause::kPublicNotAllowed,
       1},
      {{"Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)"}, Cause::kPublicNotAllowed, 1},
      {{"Public Total As Long, Code As String * 4"}, Cause::kPublicNotAllowed, 1},
      {{"Public Names() As String"}, Cause::kPublicNotAllowed, 1},
      {{"Global g As Long"}, Cause::kPublicNotAllowed, 1},
      {{"Class Cart", "  Private items", "End Class"}, Cause::kClassBlock, 1},
      {{"Sub A()", "End Class", "End Sub"}, Cause::kClassBlock, 2},
      {{"Sub A()", "x = 1", "y = EVAL(\"1\") + Eval(\"2\")", "End Sub"}, Cause::kVbscriptOnly, 3},
      {{"Sub A()", "Execute \"x = 1\"", "End Sub"}, Cause::kVbscriptOnly, 2},
      {{"Sub A()", "If a Then ExecuteGlobal code", "End Sub"}, Cause::kVbscriptOnly, 2},
      {{"Sub A()", "Set f = GetRef(\"B\")", "End Sub"}, Cause::kVbscriptOnly, 2},
      {{"Public Default Function Item(i)", "End Function"}, Cause::kVbscriptOnly, 1},
      {{"Sub A()", "Set r = New RegExp", "End Sub"}, Cause::kRegExpWithoutReference, 2},
      {{"Private r As VBScript_RegExp_55.RegExp"}, Cause::kRegExpWithoutReference, 1},
      {{"Sub A()", "x = 1 %>", "End Sub"}, Cause::kAspDelimiter, 2},
      {{"Sub A()", "<%", "End Sub"}, Cause::kAspDelimiter, 2},
      {{"Sub A()", "var x = 1;", "End Sub"}, Cause::kNotVisualBasic, 2},
      {{"Sub A()", "if (a) {", "End Sub"}, Cause::kNotVisualBasic, 2},
      {Join({{"Sub A()"}, Repeat(std::string(98, 'x'), 656), {"End Sub"}}),
       Cause::kProcedureTooLarge, 1},
  };
}

TEST(ModuleChecker, ModulesThatDoNotCompileForOneReason) {
  for (const FailCase& c : FailCases()) {
    const ModuleVerdict verdict = Check(c.whole ? c.body : Module(c.body));
    const size_t line = c.whole ? c.line : c.line + kHeaderLines;
    const std::string what = (c.body.empty() ? "(empty)" : c.body[0]) + " / " +
                             (c.body.size() > 1 ? c.body[1] : "") + "\n" + Describe(verdict);
    EXPECT_FALSE(verdict.compiles) << what;
    ASSERT_EQ(verdict.reason_count, 1u) << what;
    ASSERT_EQ(verdict.first_reasons.size(), 1u) << what;
    EXPECT_EQ(CauseName(verdict.first_reasons[0].cause), CauseName(c.cause)) << what;
    EXPECT_EQ(verdict.first_reasons[0].line, line) << what;
  }
}

TEST(ModuleChecker, ProcedureSizeCountsEachLineWithItsLineEnding) {
  // "Sub A()", 653 lines of 98 bytes, one of 215 and "End Sub", each with 2 for its CR LF:
  // 65,535 bytes in all, the most a procedure may have.
  const Lines at_limit = Join({{"Sub A()"},
                               Repeat(std::string(98, 'x'), 653),
                               {std::string(65535 - 9 - 653 * 100 - 9 - 2, 'x'), "End Sub"}});
  EXPECT_TRUE(Check(Module(at_limit)).compiles);
  Lines over = at_limit;
  over[over.size() - 2] += "x";
  EXPECT_FALSE(Check(Module(over)).compiles);
}

TEST(ModuleChecker, EveryReasonIsCountedAndTheFirstFiveKeptInLineOrder) {
  // The Eval of line 2 is known only at the end (no Function Eval may follow), past the first
  // five; the count has it.
  const ModuleVerdict verdict = Check(Module(
      {"Sub A()", "x = Eval(y)", "a;", "b;", "c;", "Next", "{", "}", "End Function", "Sub A()"}));
  EXPECT_EQ(verdict.reason_count, 10u) << Describe(verdict);
  ASSERT_EQ(verdict.first_reasons.size(), kMaxKeptReasons);
  std::string causes;
  for (const Reason& r : verdict.first_reasons) {
    causes += std::to_string(r.line - kHeaderLines) + " " + std::string(CauseName(r.cause)) + ";";
  }
  EXPECT_EQ(causes,
            "3 not-visual-basic;4 not-visual-basic;5 not-visual-basic;6 unopened-block;"
            "7 not-visual-basic;");
}

}  // namespace
}  // namespace vorlintex::modulecheck
