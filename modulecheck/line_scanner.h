// One physical line of a module's code, parted from its comment: what the statements read, with
// each string literal's contents dropped (it stays as ""), and how the line ends. Strings and
// comments hide every keyword and mark in them, so the later rules never look inside them.
#pragma once

#include <string>
#include <string_view>

namespace vorlintex::modulecheck {

struct ScannedLine {
  std::string code;                // the code, without comment or continuation mark
  bool continues = false;          // the code ends in " _": the next line goes on with it
  bool comment_continues = false;  // a comment ending in " _" takes the next line as comment
  bool unclosed_string = false;    // a string literal the line does not close
};

// `statement_start`: the line starts a statement (it does not go on from a " _"), so a Rem at
// its beginning is a comment. A Rem also starts a comment after ":" and after Then or Else.
void ScanLine(std::string_view line, bool statement_start, ScannedLine* out);

// Whether a comment line ending here goes on to the next: it ends in a space or tab and "_".
bool EndsInContinuation(std::string_view text);

}  // namespace vorlintex::modulecheck
