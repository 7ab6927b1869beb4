// Shapes of Visual Basic lines that the translation's observer tells apart: a statement that
// starts a procedure or a class, and a statement whose string literals are not closed. Used
// only when someone listens, so they favour plainness over speed.
#pragma once

#include <string_view>

namespace vorlintex::translator {

// True when `code`, after leading spaces and an optional "<%", starts a Sub statement:
// "Sub Name", "Public Sub Name", "Private Sub Name" in any letter case.
bool StartsSub(std::string_view code);

// True when `code` starts a Function or Property statement, with or without Public or
// Private.
bool StartsFunctionOrProperty(std::string_view code);

// True when `code` starts a Class statement ("Class Name").
bool StartsClass(std::string_view code);

// True when every string literal of the statement is closed before its end or its comment.
bool QuotesPair(std::string_view statement);

}  // namespace vorlintex::translator
