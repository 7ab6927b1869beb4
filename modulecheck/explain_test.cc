// The sentences and names reports quote, one for each cause, byte for byte.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "modulecheck/module_checker.h"

namespace vorlintex::modulecheck {
namespace {

TEST(Explain, EveryCauseHasItsNameAndSentence) {
  const std::tuple<Reason, const char*, const char*> kCases[] = {
      {{1, Cause::kMissingVersion, "VERSION", "", 0},
       "missing-version",
       "this module will not compile, at line 1, because the module does not start with \"VERSION "
       "1.0 CLASS\""},
      {{1, Cause::kHeaderBlock, "BEGIN", "", 0},
       "header-block",
       "this module will not compile, at line 1, because the class header has no \"BEGIN\" line "
       "after its VERSION"},
      {{2, Cause::kHeaderBlock, "END", "BEGIN", 2},
       "header-block",
       "this module will not compile, at line 2, because the class header's BEGIN block that "
       "starts here is never closed by \"END\""},
      {{4, Cause::kHeaderBlock, "Persistable", "", 0},
       "header-block",
       "this module will not compile, at line 4, because \"Persistable\" in the class header's "
       "BEGIN block is not a \"Name = value\" line"},
      {{13, Cause::kBadAttribute, "Attribute", "", 0},
       "bad-attribute",
       "this module will not compile, at line 13, because the Attribute line is not \"Attribute "
       "name = value\""},
      {{13, Cause::kMissingName, "VB_Name", "", 0},
       "missing-name",
       "this module will not compile, at line 13, because the class has no name: no \"Attribute "
       "VB_Name\" line follows its header"},
      {{9, Cause::kInvalidName, "my-page", "", 0},
       "invalid-name",
       "this module will not compile, at line 9, because \"my-page\" is not a Visual Basic name (a "
       "letter, then letters, digits or \"_\"; at most 40 characters for a class, 255 for a "
       "procedure)"},
      {{9, Cause::kReservedName, "select", "", 0},
       "reserved-name",
       "this module will not compile, at line 9, because \"select\" is a word Visual Basic keeps "
       "for itself and cannot be a name"},
      {{5, Cause::kNestedProcedure, "Function", "Sub page", 2},
       "nested-procedure",
       "this module will not compile, at line 5, because a Function starts inside Sub page of line "
       "2; procedures cannot nest"},
      {{2, Cause::kUnclosedProcedure, "Sub A", "End Sub", 0},
       "unclosed-procedure",
       "this module will not compile, at line 2, because Sub A starts here and the module ends "
       "before its \"End Sub\""},
      {{3, Cause::kMismatchedEnd, "End Function", "Sub A", 2},
       "mismatched-end",
       "this module will not compile, at line 3, because \"End Function\" stands in Sub A of line "
       "2, a procedure of another kind"},
      {{3, Cause::kStrayEnd, "End Sub", "", 0},
       "stray-end",
       "this module will not compile, at line 3, because \"End Sub\" comes where no procedure is "
       "open"},
      {{7, Cause::kDuplicateProcedure, "Total", "", 3},
       "duplicate-procedure",
       "this module will not compile, at line 7, because the procedure \"Total\" is already "
       "defined at line 3"},
      {{30, Cause::kUnclosedBlock, "Select Case", "End Select", 0},
       "unclosed-block",
       "this module will not compile, at line 30, because the Select Case block that starts here "
       "is never closed by \"End Select\""},
      {{12, Cause::kMismatchedBlock, "End If", "For i", 9},
       "mismatched-block",
       "this module will not compile, at line 12, because \"End If\" comes while the For i block "
       "of line 9 is still open"},
      {{12, Cause::kUnopenedBlock, "Wend", "", 0},
       "unopened-block",
       "this module will not compile, at line 12, because \"Wend\" has no block open that it could "
       "belong to"},
      {{40, Cause::kTooManyContinuations, "_", "", 0},
       "too-many-continuations",
       "this module will not compile, at line 40, because this is the 25th \" _\" continuation of "
       "one line; Visual Basic takes at most 24"},
      {{40, Cause::kDanglingContinuation, "_", "", 0},
       "dangling-continuation",
       "this module will not compile, at line 40, because the line ends in a \" _\" continuation "
       "and no line goes on from it"},
      {{6, Cause::kUnclosedString, "\"", "", 0},
       "unclosed-string",
       "this module will not compile, at line 6, because a string literal is not closed on its "
       "line"},
      {{6, Cause::kLineTooLong, "1024", "", 0},
       "line-too-long",
       "this module will not compile, at line 6, because the line has 1024 characters; Visual "
       "Basic takes at most 1,023"},
      {{24, Cause::kStatementOutsideProcedure, "Response", "", 0},
       "statement-outside-procedure",
       "this module will not compile, at line 24, because the statement \"Response ...\" stands "
       "outside any procedure, where only declarations may"},
      {{24, Cause::kDeclarationInProcedure, "Public", "", 0},
       "declaration-in-procedure",
       "this module will not compile, at line 24, because \"Public\" declares at module level but "
       "stands inside a procedure"},
      {{24, Cause::kPublicNotAllowed, "Code As String * 4", "", 0},
       "public-not-allowed",
       "this module will not compile, at line 24, because a class module cannot make constants, "
       "Declare statements, fixed-length strings or arrays Public: \"Code As String * 4\""},
      {{24, Cause::kPublicNotAllowed, "Global", "", 0},
       "public-not-allowed",
       "this module will not compile, at line 24, because Global declares in standard modules "
       "only, not in class modules"},
      {{24, Cause::kClassBlock, "Class", "", 0},
       "class-block",
       "this module will not compile, at line 24, because a VBScript Class block has no place in a "
       "Visual Basic 6 class module"},
      {{24, Cause::kVbscriptOnly, "Eval", "", 0},
       "vbscript-only",
       "this module will not compile, at line 24, because \"Eval\" is VBScript's, unknown to "
       "Visual Basic 6"},
      {{24, Cause::kRegExpWithoutReference, "RegExp", "", 0},
       "regexp-without-reference",
       "this module will not compile, at line 24, because RegExp needs a reference to the VBScript "
       "regular expression library, which the project does not have"},
      {{24, Cause::kAspDelimiter, "%>", "", 0},
       "asp-delimiter",
       "this module will not compile, at line 24, because the ASP delimiter \"%>\" is left in the "
       "code"},
      {{24, Cause::kNotVisualBasic, ";", "", 0},
       "not-visual-basic",
       "this module will not compile, at line 24, because \";\" outside strings and comments is "
       "not Visual Basic"},
      {{33, Cause::kProcedureTooLarge, "page", "", 0},
       "procedure-too-large",
       "this module will not compile, at line 33, because the procedure \"page\" has more than "
       "65,535 bytes of source, too large to compile into one procedure"},
  };
  std::set<std::string> names;
  for (const auto& [reason, name, sentence] : kCases) {
    EXPECT_EQ(CauseName(reason.cause), name);
    EXPECT_EQ(Explain(reason), sentence);
    names.insert(name);
  }
  // Every cause, each under a name of its own.
  EXPECT_EQ(names.size(), static_cast<size_t>(Cause::kProcedureTooLarge) + 1);
}

}  // namespace
}  // namespace vorlintex::modulecheck
