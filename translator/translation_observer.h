// What the translation does to a line that costs the page text, or that leaves Visual Basic
// that will not compile. The passes tell an observer at the moment they decide, so what is
// reported is what the translation did, not a second reading of the page. Without an observer
// the passes do no work for it.
#pragma once

#include <string_view>

namespace vorlintex::translator {

enum class Loss : unsigned char {
  kTextBeforeCode,         // text before "<%" on a code line is dropped
  kSubWord,                // "sub " where no Sub starts: the line leaves the page
  kSubBodyInPageMethod,    // a Sub's body and End Sub also land in the page method
  kIncludeCutBySub,        // after a Sub in an include file, its later lines leave the page
  kProcedureInPageMethod,  // a Function or Property lands inside the page method
  kClassBlock,             // a Class block lands inside the page method
  kDuplicateProcedure,     // a Sub is copied twice into the class
  kScriptBlockAsText,      // a server-side script block is sent to the browser as text
  kScriptNotVbscript,      // a script block in another language is copied into the class
  kExpressionCutShort,     // a "%" inside "<%= ... %>" ends the expression early
  kCaretBecomesQuote,      // a "^" in the text of a spliced line becomes a double quote
  kUnfinishedExpression,   // a "<%=" with no "%" after it: the line is copied unquoted
  kDirectiveAsText,        // a "<%@ ... %>" directive is sent to the browser as text
  kNestedInclude,          // an include directive inside an include file is not followed
  kVirtualInclude,         // a virtual include is looked for in the source folder
  kTextOnIncludeLine,      // other text on a resolved include directive's line is lost
  kCodeNeverClosed,        // a "<%" never closed turns the rest of the file into code
  kNotAscii,               // bytes outside ASCII, or a byte order mark
  kUnbalancedQuotes,       // a written statement whose quotes do not pair up
  kMissingInclude,         // the include file does not exist (told through IncludeMissing)
};

// A line of a page or include file: its path as the run builds it, and its 1-based number.
struct LineAt {
  std::string_view file;
  int number = 0;
};

class TranslationObserver {
 public:
  virtual ~TranslationObserver() = default;
  // `source` is the line as read; `written` what the class module holds for it, its lines
  // joined by "\n" (empty when nothing was written for it).
  virtual void Noted(Loss loss, LineAt at, std::string_view source, std::string_view written) = 0;
  // The include directive `source` at `at` names a file that does not exist; `path` is the
  // include path as built, where it was looked for.
  virtual void IncludeMissing(LineAt at, std::string_view source, std::string_view path) = 0;
  // The body pass reads the include file at `path` (as built) for the directive at `directive`:
  // what it tells until IncludeEnds is of that file's lines. The directive line's own losses
  // were told before.
  virtual void IncludeBegins(LineAt directive, std::string_view path) = 0;
  virtual void IncludeEnds() = 0;
};

}  // namespace vorlintex::translator
