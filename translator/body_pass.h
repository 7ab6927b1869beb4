// The body pass: translates the page, with its include files read in place of their
// directives, into the statements of the page method. HTML text becomes write statements,
// code between "<%" and "%>" is copied as it stands, and expression spans are spliced into the
// write statements.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"
#include "translator/body_line_marks.h"
#include "translator/body_pass_notes.h"
#include "translator/include_directive.h"
#include "translator/translation_observer.h"

namespace vorlintex::translator {

class BodyPass {
 public:
  // `observer` (may be null) is told what the pass does to lines that lose text; `page_path`
  // names the page's lines for it.
  BodyPass(const IncludeResolver& includes, FailureLog* failures, OutputFile& module,
           TranslationObserver* observer = nullptr, std::string_view page_path = {})
      : includes_(includes), failures_(failures), module_(module), notes_(observer, page_path) {}

  // Reads `page` (may be null: an empty page) to its end. Returns the include path when a
  // missing include file ended the pass.
  std::optional<std::string> Run(fs::TextStream* page);

 private:
  enum class LineSource { kPage, kIncludeFile };

  // One line as read, from its line start through every rest after a "%>". False when a
  // missing include file ended the pass.
  bool TakeLine(std::string& line, LineSource source);
  bool ReadIncludeFile(std::string_view file_name);

  // Replaces every "% =", then every "%  =", by "%=".
  void NormaliseEqualSigns(std::string& line);
  // Splices every expression span into the line.
  void SpliceExpressions(std::string& line);
  // `may_hold_quote` is false when the line is known to hold no double quote.
  void WriteStatement(std::string_view text, bool may_hold_quote);
  // Every line of the page method goes out here.
  void Emit(std::string_view text) {
    module_.WriteLine(text);
    notes_.Written(text);
  }

  const IncludeResolver& includes_;
  FailureLog* failures_;
  OutputFile& module_;
  BodyPassNotes notes_;

  int code_block_flag_ = 0;      // 1 after a "<%" whose "%>" has not yet been met
  int splice_state_ = 0;         // 0 nothing spliced, 1 spliced, 2 a "<%=" without its "%"
  int procedure_skip_flag_ = 0;  // 1: the line is dropped, and in an include file the rest too
  std::optional<std::string> missing_include_;

  // Reused from line to line.
  std::string page_line_;
  std::string include_line_;
  std::string scratch_;
  std::string statement_;
  BodyLineMarks marks_;
};

}  // namespace vorlintex::translator
