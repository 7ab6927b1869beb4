// A page read as a page host reads it: text, code blocks, output expressions, directives,
// include directives and server script blocks, wherever they stand on their lines.
#pragma once

#include <string_view>
#include <vector>

namespace vorlintex::compilable {

enum class PieceKind : unsigned char {
  kText,        // sent as it stands
  kCode,        // between "<%" and "%>"
  kExpression,  // between "<%=" and "%>": sent as the value of the expression
  kDirective,   // "<%@ ... %>": an instruction to the host, sent nowhere
  kInclude,     // "<!-- #include file|virtual="name" -->": `text` is the name
  kScript,      // the body of a <script runat="server"> block; `language` as the tag says
};

struct Piece {
  PieceKind kind = PieceKind::kText;
  std::string_view text;
  int line = 1;               // 1-based line of the file on which `text` begins
  bool is_virtual = false;    // kInclude: named from the site root
  std::string_view language;  // kScript: empty when the tag names none
};

// The pieces of one file's text, in order. A "%>" inside a string literal of the code does not
// end it; one inside a comment does, as the host reads it. A "<%" never closed makes the rest
// of the file code. Include directives are recognised in text only; a server script block
// runs to its "</script>".
std::vector<Piece> ReadPieces(std::string_view text);

// True when a script block's language is VBScript (named so, or not named).
bool IsVbscript(std::string_view language);

}  // namespace vorlintex::compilable
