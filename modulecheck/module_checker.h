// Whether Visual Basic 6 will compile a class module (.cls), told from its text alone, and if
// not, every line where it will not and why. The checker reads the module line by line as it is
// written, never the file again, and keeps per procedure only its name: its memory grows with
// the number of procedures, not of lines.
//
// What it checks: the header (VERSION 1.0 CLASS, BEGIN ... END, the class name in
// Attribute VB_Name); procedures never nested, each closed by its own End, none defined twice
// (Property Get, Let and Set of one name are one property); the blocks inside each procedure
// (If, For, For Each, Do, While, Select Case, With) balanced and properly nested; logical lines
// (":" between statements, " _" continuations, at most 24 to a line; "'" and Rem comments);
// string literals closed on their line; physical lines of at most 1,023 characters; nothing but
// declarations outside procedures, and none of those a class module cannot make Public; what
// VBScript has and Visual Basic 6 does not (Class blocks, Eval, Execute, ExecuteGlobal, GetRef,
// a Default procedure, RegExp without its reference); text that is not Visual Basic ("<%",
// "%>", "{", "}", ";" outside strings and comments); procedures too large to compile.
//
// Approximations: Visual Basic 6 refuses a procedure whose compiled code passes 64 KB; the
// checker cannot compile, so it refuses a procedure whose source text (its lines from the
// opening statement through its End, each line's CR LF counted as two bytes) passes 65,535
// bytes. Expressions are not parsed: a statement is judged by its leading keywords, its
// identifiers and its punctuation. Names are ASCII only (a letter first, then letters, digits
// and "_"); a name with other bytes is refused although some code pages let Visual Basic take it.
// Letter case: keywords match in any ASCII case; every other byte is compared as it is.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::modulecheck {

// What the project gives the module beyond Visual Basic itself.
struct ModuleContext {
  // The project references the VBScript regular expression library (RegExp).
  bool regexp_reference = false;
};

// Why a module will not compile; one for each rule the checker knows.
enum class Cause : unsigned char {
  kMissingVersion,        // the first line is not "VERSION 1.0 CLASS"
  kHeaderBlock,           // no BEGIN ... END block after it, or a line in it is not "Name = value"
  kBadAttribute,          // an Attribute line that is not "Attribute name = value"
  kMissingName,           // the attributes after the header name no class (Attribute VB_Name)
  kInvalidName,           // a class or procedure name that is not a Visual Basic identifier
  kReservedName,          // a class or procedure name that is a reserved word
  kNestedProcedure,       // a Sub, Function or Property starts inside another
  kUnclosedProcedure,     // a procedure the module never ends
  kMismatchedEnd,         // End Sub closing a Function and the like; Exit Sub in a Function
  kStrayEnd,              // End Sub, End Function or End Property outside any procedure
  kDuplicateProcedure,    // a procedure name defined twice
  kUnclosedBlock,         // a block (If, For, ...) its procedure ends before closing
  kMismatchedBlock,       // a block's closing or middle word while another block is open
  kUnopenedBlock,         // a block's closing or middle word with no such block open
  kTooManyContinuations,  // more than 24 " _" continuations in one logical line
  kDanglingContinuation,  // a " _" continuation followed by nothing
  kUnclosedString,        // a string literal not closed on its line
  kLineTooLong,           // a physical line of more than 1,023 characters
  kStatementOutsideProcedure,  // an executable statement among the module's declarations
  kDeclarationInProcedure,     // a module-level declaration (Public, Enum, Declare, ...) in a
                               // procedure
  kPublicNotAllowed,           // Public Const, Declare, fixed-length string or array in a class
  kClassBlock,                 // a VBScript Class ... End Class block
  kVbscriptOnly,               // Eval, Execute, ExecuteGlobal, GetRef, or a Default procedure
  kRegExpWithoutReference,     // RegExp used without the regular expression reference
  kAspDelimiter,               // "<%" or "%>" outside strings and comments
  kNotVisualBasic,             // "{", "}" or ";" outside strings and comments
  kProcedureTooLarge,          // a procedure of more than 65,535 bytes of source
};

// One place where the module will not compile.
struct Reason {
  size_t line = 0;  // 1-based physical line
  Cause cause = Cause::kMissingVersion;
  std::string detail;  // the name or keyword concerned ("End If", "Eval", "orders")
  // For block and procedure causes, the block or procedure still open and the line that
  // opened it ("For", 12); empty and 0 otherwise.
  std::string open_block;
  size_t open_line = 0;
};

struct ModuleVerdict {
  bool compiles = true;     // no reason found
  size_t reason_count = 0;  // every reason found
  // The first reasons found, at most kMaxKeptReasons, in line order.
  std::vector<Reason> first_reasons;
};

inline constexpr size_t kMaxKeptReasons = 5;

// Reads one module. Feed every line in order, then call Finish once; Finish ends the reading
// (later calls are refused by an assertion in debug builds and ignored otherwise). Never fails:
// any text is a module that compiles or does not.
class ModuleChecker {
 public:
  explicit ModuleChecker(ModuleContext context);
  ~ModuleChecker();
  ModuleChecker(const ModuleChecker&) = delete;
  ModuleChecker& operator=(const ModuleChecker&) = delete;

  // One physical line without its line ending (a CR left at its end is dropped).
  void Line(std::string_view line);
  ModuleVerdict Finish();

 private:
  class State;
  std::unique_ptr<State> state_;
};

// "this module will not compile, at line 9, because ..." for one reason.
std::string Explain(const Reason& reason);
// The cause's short name for reports: "unclosed-block", "reserved-name", ...
std::string_view CauseName(Cause cause);

}  // namespace vorlintex::modulecheck
