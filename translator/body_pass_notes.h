// What the body pass tells its observer. The pass says here what it does to a line at the
// moment it does it; the notes turn that into the line's losses and tell them once the line is
// done, so that what was written for it goes with them. Each call tests for an observer before
// anything else: when nobody listens, no line is copied and no test is made for the notes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "translator/translation_observer.h"

namespace vorlintex::translator {

class BodyPassNotes {
 public:
  // `observer` may be null. `page_path` names the page's lines.
  BodyPassNotes(TranslationObserver* observer, std::string_view page_path)
      : observer_(observer), page_path_(page_path) {}

  // The page's lines are read next, numbered from 1.
  void PageOpened() {
    if (observer_ != nullptr) OpenPage();
  }
  // The lines of the include file at `path` are read next, numbered from 1, until
  // IncludeFileClosed; then the page's lines go on. The directive line's losses are told now.
  void IncludeFileOpened(std::string_view path) {
    if (observer_ != nullptr) OpenIncludeFile(path);
  }
  void IncludeFileClosed() {
    if (observer_ != nullptr) CloseIncludeFile();
  }

  // Around the translation of each line: `source` as read, before the pass changes it; then
  // its end, which tells what happened to it.
  void LineRead(std::string_view source) {
    if (observer_ != nullptr) BeginLine(source);
  }
  void LineDone() {
    if (observer_ != nullptr) TellLine();
  }

  // What the pass did to the line being translated.
  void Lost(Loss loss) {
    if (observer_ != nullptr) Note(loss);
  }
  // `text` went out as a line of the page method.
  void Written(std::string_view text) {
    if (observer_ != nullptr) NoteWritten(text);
  }
  // The include directive that `line` (a line or the rest of one) begins with is followed.
  void DirectiveFollowed(std::string_view line) {
    if (observer_ != nullptr) NoteDirectiveFollowed(line);
  }
  // A line of an include file holding a "#": an include directive there is not followed.
  void MaybeNestedInclude(std::string_view line) {
    if (observer_ != nullptr) NoteMaybeNestedInclude(line);
  }
  // The "sub " of `line` (a line or the rest of one) starts the dropping of lines;
  // `code_block_open` when a "<%" before the line is still open.
  void SkipStarted(std::string_view line, bool from_page, bool code_block_open) {
    if (observer_ != nullptr) NoteSkipStarted(line, from_page, code_block_open);
  }
  // A line of an include file dropped after a "sub ".
  void IncludeLineSkipped(std::string_view line) {
    if (observer_ != nullptr) NoteIncludeLineSkipped(line);
  }
  // `text` (a line or the rest of one) is written to the browser as HTML text.
  void HtmlText(std::string_view text) {
    if (observer_ != nullptr) NoteHtmlText(text);
  }
  // A "<%" opens a code block; `before` stood before it on the line and is dropped.
  void CodeOpened(std::string_view before) {
    if (observer_ != nullptr) NoteCodeOpened(before);
  }
  // `code` is copied into the page method as it stands.
  void CodeCopied(std::string_view code) {
    if (observer_ != nullptr) NoteCodeCopied(code);
  }
  // An expression span ends at the "%" that `from_percent` begins with.
  void ExpressionEnds(std::string_view from_percent) {
    if (observer_ != nullptr) NoteExpressionEnds(from_percent);
  }
  // The text of a line between its spliced expressions, or before or after them.
  void SplicedText(std::string_view text) {
    if (observer_ != nullptr) NoteSplicedText(text);
  }
  // The code block opened by the last CodeOpened is never closed in its file.
  void CodeNeverClosed() {
    if (observer_ != nullptr) TellCodeNeverClosed();
  }

 private:
  struct LineNotes {
    std::string file;
    int number = 0;
    std::string source;
    std::string written;  // its lines joined by "\n"
    std::vector<Loss> losses;
  };

  void OpenPage();
  void OpenIncludeFile(std::string_view path);
  void CloseIncludeFile();
  void BeginLine(std::string_view source);
  void TellLine();
  void Note(Loss loss);
  void NoteWritten(std::string_view text);
  void NoteDirectiveFollowed(std::string_view line);
  void NoteMaybeNestedInclude(std::string_view line);
  void NoteSkipStarted(std::string_view line, bool from_page, bool code_block_open);
  void NoteIncludeLineSkipped(std::string_view line);
  void NoteHtmlText(std::string_view text);
  void NoteCodeOpened(std::string_view before);
  void NoteCodeCopied(std::string_view code);
  void NoteExpressionEnds(std::string_view from_percent);
  void NoteSplicedText(std::string_view text);
  void TellCodeNeverClosed();

  TranslationObserver* const observer_;
  const std::string_view page_path_;

  // The file being read, the number of its last line read, and whether its bytes outside
  // ASCII have been told: once a file is enough.
  std::string_view file_;
  int number_ = 0;
  bool non_ascii_noted_ = false;
  // The page's, while an include file is read.
  int page_number_ = 0;
  bool page_non_ascii_noted_ = false;

  LineNotes line_;
  LineNotes code_opened_;           // the line whose "<%" opened the code block still open
  bool include_sub_ended_ = false;  // the include file's lines are dropped from here on
  bool include_cut_noted_ = false;
};

}  // namespace vorlintex::translator
