// The names and sentences of the reasons a module will not compile.
#include <string>

#include "modulecheck/module_checker.h"

namespace vorlintex::modulecheck {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string OpenedAt(const Reason& r) {
  return r.open_block + " of line " + std::to_string(r.open_line);
}

std::string Because(const Reason& r) {
  switch (r.cause) {
    case Cause::kMissingVersion:
      return "the module does not start with \"VERSION 1.0 CLASS\"";
    case Cause::kHeaderBlock:
      if (r.detail == "BEGIN") return "the class header has no \"BEGIN\" line after its VERSION";
      if (r.detail == "END") {
        return "the class header's BEGIN block that starts here is never closed by \"END\"";
      }
      return Quoted(r.detail) + " in the class header's BEGIN block is not a \"Name = value\" line";
    case Cause::kBadAttribute:
      return "the Attribute line is not \"Attribute name = value\"";
    case Cause::kMissingName:
      return "the class has no name: no \"Attribute VB_Name\" line follows its header";
    case Cause::kInvalidName:
      return Quoted(r.detail) +
             " is not a Visual Basic name (a letter, then letters, digits or \"_\"; at most 40 "
             "characters for a class, 255 for a procedure)";
    case Cause::kReservedName:
      return Quoted(r.detail) + " is a word Visual Basic keeps for itself and cannot be a name";
    case Cause::kNestedProcedure:
      return "a " + r.detail + " starts inside " + OpenedAt(r) + "; procedures cannot nest";
    case Cause::kUnclosedProcedure:
      return r.detail + " starts here and the module ends before its " + Quoted(r.open_block);
    case Cause::kMismatchedEnd:
      return Quoted(r.detail) + " stands in " + OpenedAt(r) + ", a procedure of another kind";
    case Cause::kStrayEnd:
      return Quoted(r.detail) + " comes where no procedure is open";
    case Cause::kDuplicateProcedure:
      return "the procedure " + Quoted(r.detail) + " is already defined at line " +
             std::to_string(r.open_line);
    case Cause::kUnclosedBlock:
      return "the " + r.detail + " block that starts here is never closed by " +
             Quoted(r.open_block);
    case Cause::kMismatchedBlock:
      return Quoted(r.detail) + " comes while the " + r.open_block + " block of line " +
             std::to_string(r.open_line) + " is still open";
    case Cause::kUnopenedBlock:
      return Quoted(r.detail) + " has no block open that it could belong to";
    case Cause::kTooManyContinuations:
      return "this is the 25th \" _\" continuation of one line; Visual Basic takes at most 24";
    case Cause::kDanglingContinuation:
      return "the line ends in a \" _\" continuation and no line goes on from it";
    case Cause::kUnclosedString:
      return "a string literal is not closed on its line";
    case Cause::kLineTooLong:
      return "the line has " + r.detail + " characters; Visual Basic takes at most 1,023";
    case Cause::kStatementOutsideProcedure:
      return "the statement " + Quoted(r.detail + " ...") +
             " stands outside any procedure, where only declarations may";
    case Cause::kDeclarationInProcedure:
      return Quoted(r.detail) + " declares at module level but stands inside a procedure";
    case Cause::kPublicNotAllowed:
      if (r.detail == "Global")
        return "Global declares in standard modules only, not in class modules";
      return "a class module cannot make constants, Declare statements, fixed-length strings or "
             "arrays Public: " +
             Quoted(r.detail);
    case Cause::kClassBlock:
      return "a VBScript Class block has no place in a Visual Basic 6 class module";
    case Cause::kVbscriptOnly:
      return Quoted(r.detail) + " is VBScript's, unknown to Visual Basic 6";
    case Cause::kRegExpWithoutReference:
      return "RegExp needs a reference to the VBScript regular expression library, which the "
             "project does not have";
    case Cause::kAspDelimiter:
      return "the ASP delimiter " + Quoted(r.detail) + " is left in the code";
    case Cause::kNotVisualBasic:
      return Quoted(r.detail) + " outside strings and comments is not Visual Basic";
    case Cause::kProcedureTooLarge:
      return "the procedure " + Quoted(r.detail) +
             " has more than 65,535 bytes of source, too large to compile into one procedure";
  }
  return "of an unknown cause";
}

}  // namespace

std::string Explain(const Reason& reason) {
  return "this module will not compile, at line " + std::to_string(reason.line) + ", because " +
         Because(reason);
}

std::string_view CauseName(Cause cause) {
  switch (cause) {
    case Cause::kMissingVersion:
      return "missing-version";
    case Cause::kHeaderBlock:
      return "header-block";
    case Cause::kBadAttribute:
      return "bad-attribute";
    case Cause::kMissingName:
      return "missing-name";
    case Cause::kInvalidName:
      return "invalid-name";
    case Cause::kReservedName:
      return "reserved-name";
    case Cause::kNestedProcedure:
      return "nested-procedure";
    case Cause::kUnclosedProcedure:
      return "unclosed-procedure";
    case Cause::kMismatchedEnd:
      return "mismatched-end";
    case Cause::kStrayEnd:
      return "stray-end";
    case Cause::kDuplicateProcedure:
      return "duplicate-procedure";
    case Cause::kUnclosedBlock:
      return "unclosed-block";
    case Cause::kMismatchedBlock:
      return "mismatched-block";
    case Cause::kUnopenedBlock:
      return "unopened-block";
    case Cause::kTooManyContinuations:
      return "too-many-continuations";
    case Cause::kDanglingContinuation:
      return "dangling-continuation";
    case Cause::kUnclosedString:
      return "unclosed-string";
    case Cause::kLineTooLong:
      return "line-too-long";
    case Cause::kStatementOutsideProcedure:
      return "statement-outside-procedure";
    case Cause::kDeclarationInProcedure:
      return "declaration-in-procedure";
    case Cause::kPublicNotAllowed:
      return "public-not-allowed";
    case Cause::kClassBlock:
      return "class-block";
    case Cause::kVbscriptOnly:
      return "vbscript-only";
    case Cause::kRegExpWithoutReference:
      return "regexp-without-reference";
    case Cause::kAspDelimiter:
      return "asp-delimiter";
    case Cause::kNotVisualBasic:
      return "not-visual-basic";
    case Cause::kProcedureTooLarge:
      return "procedure-too-large";
  }
  return "unknown";
}

}  // namespace vorlintex::modulecheck
