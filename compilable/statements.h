// VBScript code split into statements as the language reads it: ":" separates statements and
// "_" at a line's end continues one, except inside string literals ("") and comments (' and
// Rem); a one-line If keeps everything after its Then. Each statement is then told apart by
// its first words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlintex::compilable {

struct Statement {
  std::string_view text;  // as written, continuation lines included; no ":" around it
  int line = 1;           // 1-based line of the file on which it begins
};

// The statements of `code`, which begins on line `first_line`; empty ones are left out, and
// so are the spaces around each.
std::vector<Statement> SplitStatements(std::string_view code, int first_line);

// The words of a statement outside its string literals and comments, lower-cased, with the
// byte before each (a "." before a word makes it a member, not a name of the page).
struct Word {
  std::string lower;
  std::string_view text;
  char before = ' ';  // the nearest byte before the word that is not a space
  char after = ' ';   // the nearest byte after it that is not a space
};
std::vector<Word> WordsOf(std::string_view statement);

enum class Shape : unsigned char {
  kOther,           // an executable statement
  kComment,         // a comment alone
  kProcedureStart,  // Sub, Function or Property Get|Let|Set, with its modifiers
  kProcedureEnd,    // End Sub, End Function, End Property
  kClassStart,      // Class Name
  kClassEnd,        // End Class
  kDeclaration,     // Dim, Const, Public or Private that declares variables or constants
  kOptionExplicit,  // an instruction to the script engine
};

struct StatementShape {
  Shape shape = Shape::kOther;
  std::string name;         // the procedure's or class's name, as written
  std::string kind;         // "sub", "function", "property get"...: the procedure's kind
  bool is_default = false;  // a Public Default procedure of a class
  int depth_change = 0;     // blocks it opens (+) or closes (-): If, For, Do, While, Select, With
};

StatementShape ShapeOf(std::string_view statement);

// `statement` with each Eval of a comparison or logical expression ("Eval(Not x)",
// "Eval(a < 0)") written as the expression in parentheses: its value is a Boolean or a number,
// whose text Eval would read back as that same value. Other Evals stay.
std::string WithoutValueEvals(std::string_view statement);

// More " _" continuations than one statement of Visual Basic may have: 24. VBScript has no
// such limit.
inline constexpr size_t kMaxContinuations = 24;

// A statement continued over more lines than fit in one, whose lines may grow by a third when
// fitted, as several statements doing the same: "Response.Write a & _ / b" as one write per
// group of lines, "x = a & _ / b" as "x = a" then "x = x & b". It is cut only after a line
// ending in "&" outside parentheses, when the expression has no comparison or logical operator
// outside them (they bind looser than "&") and, for an assignment, later groups do not name
// the variable nor is it `function`, the Function being read (whose name on the right would
// call it). Empty when it needs no cut or cannot be cut so.
std::vector<std::string> SplitContinued(std::string_view statement, std::string_view function = {});

}  // namespace vorlintex::compilable
