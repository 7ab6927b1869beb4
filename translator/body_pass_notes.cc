#include "translator/body_pass_notes.h"

#include "translator/byte_search.h"
#include "translator/include_directive.h"
#include "translator/keyword_search.h"
#include "translator/statement_shapes.h"

namespace vorlintex::translator {
namespace {

constexpr Keyword kProcedureStart("sub ");
constexpr Keyword kProcedureEnd("end sub");
constexpr Keyword kServerScript("runat");
constexpr Keyword kVirtual("virtual");

bool HoldsNonAscii(std::string_view line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

}  // namespace

void BodyPassNotes::OpenPage() {
  file_ = page_path_;
  number_ = 0;
  non_ascii_noted_ = false;
}

void BodyPassNotes::OpenIncludeFile(std::string_view path) {
  TellLine();  // the directive line's own
  page_number_ = number_;
  page_non_ascii_noted_ = non_ascii_noted_;
  observer_->IncludeBegins(LineAt{page_path_, number_}, path);
  file_ = path;
  number_ = 0;
  non_ascii_noted_ = include_sub_ended_ = include_cut_noted_ = false;
}

void BodyPassNotes::CloseIncludeFile() {
  observer_->IncludeEnds();
  file_ = page_path_;
  number_ = page_number_;
  non_ascii_noted_ = page_non_ascii_noted_;
}

void BodyPassNotes::BeginLine(std::string_view source) {
  line_.file.assign(file_);
  line_.number = ++number_;
  line_.source.assign(source);
  line_.written.clear();
  line_.losses.clear();
  if (!non_ascii_noted_ && HoldsNonAscii(source)) {
    non_ascii_noted_ = true;
    Note(Loss::kNotAscii);
  }
}

void BodyPassNotes::TellLine() {
  for (Loss loss : line_.losses) {
    observer_->Noted(loss, LineAt{line_.file, line_.number}, line_.source, line_.written);
  }
  line_.losses.clear();
}

void BodyPassNotes::Note(Loss loss) {
  for (Loss noted : line_.losses) {
    if (noted == loss) return;
  }
  line_.losses.push_back(loss);
}

void BodyPassNotes::NoteWritten(std::string_view text) {
  if (!line_.written.empty()) line_.written.push_back('\n');
  line_.written.append(text);
  if (!QuotesPair(text)) Note(Loss::kUnbalancedQuotes);
}

void BodyPassNotes::NoteDirectiveFollowed(std::string_view line) {
  if (kVirtual.In(line)) Note(Loss::kVirtualInclude);
  // What stands outside the directive's own comment, "<!" to its "-->" (or ">"), is lost.
  size_t open = line.find("<!");
  size_t close = line.find("-->", open);
  close = close == std::string_view::npos ? line.find('>', open) : close + 2;
  std::string_view before = line.substr(0, open);
  std::string_view after = close == std::string_view::npos ? "" : line.substr(close + 1);
  if (SkipSpaces(before, 0) < before.size() || SkipSpaces(after, 0) < after.size()) {
    Note(Loss::kTextOnIncludeLine);
  }
}

void BodyPassNotes::NoteMaybeNestedInclude(std::string_view line) {
  if (IsIncludeDirective(line)) Note(Loss::kNestedInclude);
}

void BodyPassNotes::NoteSkipStarted(std::string_view line, bool from_page, bool code_block_open) {
  if (!StartsSub(line)) {
    Note(Loss::kSubWord);
    // In an include file nothing resets the skip: the rest of the file is lost at once.
    if (!from_page) include_sub_ended_ = true;
  } else if (from_page && !kProcedureEnd.In(line) && (code_block_open || Contains(line, "<%"))) {
    // Only the lines holding "sub " leave the page method: the body and the "End Sub" stay.
    Note(Loss::kSubBodyInPageMethod);
  }
}

void BodyPassNotes::NoteIncludeLineSkipped(std::string_view line) {
  if (include_sub_ended_ && !include_cut_noted_ && !line.empty() && !kProcedureStart.In(line)) {
    include_cut_noted_ = true;
    Note(Loss::kIncludeCutBySub);
  }
  if (kProcedureEnd.In(line)) include_sub_ended_ = true;
}

void BodyPassNotes::NoteHtmlText(std::string_view text) {
  if (kServerScript.In(text) && Contains(text, "<")) Note(Loss::kScriptBlockAsText);
}

void BodyPassNotes::NoteCodeOpened(std::string_view before) {
  if (SkipSpaces(before, 0) < before.size()) Note(Loss::kTextBeforeCode);
  code_opened_ = line_;
}

void BodyPassNotes::NoteCodeCopied(std::string_view code) {
  if (StartsFunctionOrProperty(code)) Note(Loss::kProcedureInPageMethod);
  if (StartsClass(code)) Note(Loss::kClassBlock);
}

void BodyPassNotes::NoteExpressionEnds(std::string_view from_percent) {
  if (from_percent.size() < 2 || from_percent[1] != '>') Note(Loss::kExpressionCutShort);
}

void BodyPassNotes::NoteSplicedText(std::string_view text) {
  if (text.find('^') != std::string_view::npos) Note(Loss::kCaretBecomesQuote);
}

void BodyPassNotes::TellCodeNeverClosed() {
  observer_->Noted(Loss::kCodeNeverClosed, LineAt{code_opened_.file, code_opened_.number},
                   code_opened_.source, "");
}

}  // namespace vorlintex::translator
