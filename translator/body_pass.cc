#include "translator/body_pass.h"

#include <algorithm>
#include <cstring>

#include "translator/byte_search.h"
#include "translator/keyword_search.h"
#include "translator/line_reader.h"
#include "translator/line_rewrites.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNotFound = std::string::npos;
constexpr Keyword kProcedureStart("sub ");
constexpr Keyword kCodeOpen("<%");
constexpr Keyword kCodeClose("%>");
constexpr Keyword kExpressionOpen("<%=");

constexpr std::string_view kStatementStart = "Response.Write (\"";
constexpr std::string_view kStatementEnd = "\" & vbCrlf)";

}  // namespace

std::optional<std::string> BodyPass::Run(fs::TextStream* page) {
  code_block_flag_ = 0;
  splice_state_ = 0;
  notes_.PageOpened();
  while (ReadNextLine(page, &page_line_, failures_)) {
    notes_.LineRead(page_line_);
    const bool go_on = TakeLine(page_line_, LineSource::kPage);
    notes_.LineDone();
    if (!go_on) return missing_include_;
  }
  if (code_block_flag_ == 1) notes_.CodeNeverClosed();
  return std::nullopt;
}

bool BodyPass::TakeLine(std::string& line, LineSource source) {
  const bool from_page = source == LineSource::kPage;
  TrimLeadingSpaces(&line);
  // The bytes found here stay absent: the steps below only take bytes out of the line, turn
  // tabs into spaces or quotes into "^".
  const LineBytes bytes = FindLineBytes(line);
  if (from_page && bytes.hash && IsIncludeDirective(line)) {
    if (std::optional<std::string_view> file_name = IncludeFileName(line)) {
      notes_.DirectiveFollowed(line);
      return ReadIncludeFile(*file_name);
    }
  }
  if (!from_page && bytes.hash) notes_.MaybeNestedInclude(line);
  if (from_page) procedure_skip_flag_ = 0;
  if (bytes.tab) ReplaceTabsWithSpaces(&line);
  if (bytes.b && kProcedureStart.In(line)) {
    if (procedure_skip_flag_ == 0) notes_.SkipStarted(line, from_page, code_block_flag_ == 1);
    procedure_skip_flag_ = 1;
  }
  if (line.empty() || procedure_skip_flag_ == 1) {
    if (!from_page && procedure_skip_flag_ == 1) notes_.IncludeLineSkipped(line);
    return true;
  }

  if (bytes.percent) {
    NormaliseEqualSigns(line);
    SpliceExpressions(line);
  }
  marks_.StartLine(bytes);
  const bool may_hold_quote = bytes.quote;

  // The line is settled from `start` on: 0 for the line itself, then the start of each rest
  // after a "%>". A rest already has its tabs and equal signs normalised and no expression
  // span left, so its translation begins with the classification.
  size_t start = 0;
  for (;;) {
    std::string_view text = std::string_view(line).substr(start);
    if (code_block_flag_ == 0 && marks_.DirectiveOpenFrom(line, start)) {
      notes_.Lost(Loss::kDirectiveAsText);
      WriteStatement(text, may_hold_quote);
      return true;
    }
    if (marks_.OptionExplicitFrom(line, start)) {
      // A dropped line hands on no unfinished "<%=": left standing, it would keep the next
      // HTML line's quotes undoubled, and the write statement would not compile.
      if (splice_state_ == 2) splice_state_ = 0;
      return true;
    }
    if (code_block_flag_ == 0 && !marks_.CodeOpenFrom(line, start)) {
      notes_.HtmlText(text);
      WriteStatement(text, may_hold_quote);
      return true;
    }
    if (splice_state_ == 2) {
      splice_state_ = 0;
      Emit(text);
      return true;
    }

    // A code line: whatever stands before its "<%" is dropped.
    if (code_block_flag_ == 0) {
      const size_t open = kCodeOpen.FindIn(line, start);
      notes_.CodeOpened(std::string_view(line).substr(start, open - start));
      start = open + 2;
      code_block_flag_ = 1;
    }
    size_t close = kCodeClose.FindIn(line, start);
    const std::string_view code = std::string_view(line).substr(
        start, close == kNotFound ? std::string_view::npos : close - start);
    notes_.CodeCopied(code);
    Emit(code);
    if (close == kNotFound) return true;
    code_block_flag_ = 0;
    start = close + 2;
    if (start >= line.size()) return true;

    // The rest is a new line: its line start, then its translation up to the classification.
    start = SkipSpaces(line, start);
    if (from_page && marks_.IncludeWordFrom(line, start) && marks_.CommentOpenFrom(line, start)) {
      if (std::optional<std::string_view> file_name =
              IncludeFileName(std::string_view(line).substr(start))) {
        notes_.DirectiveFollowed(std::string_view(line).substr(start));
        return ReadIncludeFile(*file_name);
      }
    }
    if (from_page) procedure_skip_flag_ = 0;
    if (marks_.SubWordFrom(line, start)) {
      if (procedure_skip_flag_ == 0) {
        notes_.SkipStarted(std::string_view(line).substr(start), from_page, code_block_flag_ == 1);
      }
      procedure_skip_flag_ = 1;
    }
    if (start == line.size() || procedure_skip_flag_ == 1) return true;
  }
}

bool BodyPass::ReadIncludeFile(std::string_view file_name) {
  IncludeFile include = includes_.Open(file_name);
  if (include.missing()) {
    if (includes_.passes_over_missing()) return true;  // the globals pass reported it
    missing_include_ = include.path();
    return false;
  }
  code_block_flag_ = 0;
  splice_state_ = 0;
  procedure_skip_flag_ = 0;
  // Lines of an include file are never taken as directives, so this reads no further file.
  notes_.IncludeFileOpened(include.path());
  while (include.ReadLine(&include_line_)) {
    notes_.LineRead(include_line_);
    TakeLine(include_line_, LineSource::kIncludeFile);
    notes_.LineDone();
  }
  // Lines dropped after a Sub may hold the "%>"; their loss is reported on its own.
  if (code_block_flag_ == 1 && procedure_skip_flag_ == 0) notes_.CodeNeverClosed();
  notes_.IncludeFileClosed();
  include.Close();
  code_block_flag_ = 0;
  splice_state_ = 0;
  procedure_skip_flag_ = 0;
  return true;
}

void BodyPass::NormaliseEqualSigns(std::string& line) {
  // Each "% =" and "%  =" begins at a "%" and holds no other, so no two of them overlap, and
  // taking the spaces out of one makes no new one: one walk from "%" to "%" replaces both
  // forms, as replacing every "% =" and then every "%  =" would.
  char* data = line.data();
  const size_t size = line.size();
  size_t read = 0;   // data[0, read) is done
  size_t write = 0;  // and its bytes kept are data[0, write)
  while (const void* found = std::memchr(data + read, '%', size - read)) {
    size_t kept_to = static_cast<size_t>(static_cast<const char*>(found) - data) + 1;
    size_t spaces = 0;
    if (kept_to + 1 < size && data[kept_to] == ' ' && data[kept_to + 1] == '=') {
      spaces = 1;
    } else if (kept_to + 2 < size && data[kept_to] == ' ' && data[kept_to + 1] == ' ' &&
               data[kept_to + 2] == '=') {
      spaces = 2;
    }
    if (write != read) std::memmove(data + write, data + read, kept_to - read);
    write += kept_to - read;
    read = kept_to + spaces;
  }
  if (write == read) return;
  std::memmove(data + write, data + read, size - read);
  line.resize(write + size - read);
}

void BodyPass::SpliceExpressions(std::string& line) {
  size_t open = kExpressionOpen.FindIn(line);
  if (open == kNotFound) return;
  // Each splice leaves the text before its "<%=" free of "<%=", and cannot bring a new "% ="
  // or "%  =" into the line (the expression holds no "%" and is framed by "^"), so the next
  // search may begin at the tail and the equal-sign normalisation of the new line changes
  // nothing: one walk over the line does all the splices.
  // Written straight into the reused buffer. A splice puts in eight bytes and the
  // expression, and takes out "<%=", the expression, the "%" and the byte after it: it grows
  // the line by three bytes for the five or more it takes, and by four for the four that a
  // "%" at the line's end leaves it.
  const size_t longest = line.size() + 3 * (line.size() / 5) + 8;
  if (scratch_.size() < longest) scratch_.resize(longest);
  char* const begin = scratch_.data();
  char* out = begin;
  auto copy = [&out](const char* from, size_t size) {
    std::memcpy(out, from, size);
    out += size;
  };
  const char* data = line.data();
  size_t copied_to = 0;  // line[0, copied_to) has gone to scratch_ or been dropped
  bool spliced = false;
  while (open != kNotFound) {
    size_t expression = open + 3;
    const void* found = std::memchr(data + expression, '%', line.size() - expression);
    if (found == nullptr) {
      notes_.Lost(Loss::kUnfinishedExpression);
      splice_state_ = 2;
      break;
    }
    size_t percent = static_cast<size_t>(static_cast<const char*>(found) - data);
    notes_.ExpressionEnds(std::string_view(data + percent, line.size() - percent));
    notes_.SplicedText(std::string_view(data + copied_to, open - copied_to));
    copy(data + copied_to, open - copied_to);
    copy("^ & ", 4);
    char* expression_out = out;
    copy(data + expression, percent - expression);
    std::replace(expression_out, out, '"', '^');
    copy(" & ^", 4);
    splice_state_ = 1;
    spliced = true;
    // The "%" and the byte after it, whatever it is, are dropped.
    copied_to = std::min(percent + 2, line.size());
    open = kExpressionOpen.FindIn(line, copied_to);
  }
  if (!spliced) return;
  notes_.SplicedText(std::string_view(data + copied_to, line.size() - copied_to));
  copy(data + copied_to, line.size() - copied_to);
  line.assign(begin, static_cast<size_t>(out - begin));
}

void BodyPass::WriteStatement(std::string_view text, bool may_hold_quote) {
  // Written straight into the reused buffer, long enough for every quote doubled.
  const size_t longest = kStatementStart.size() + 2 * text.size() + 16 + kStatementEnd.size();
  if (statement_.size() < longest) statement_.resize(longest);
  char* out = statement_.data();
  std::memcpy(out, kStatementStart.data(), kStatementStart.size());
  out += kStatementStart.size();
  if (splice_state_ == 2 || (splice_state_ == 0 && !may_hold_quote)) {
    std::memcpy(out, text.data(), text.size());
    out += text.size();
  } else {
    // Quotes are doubled first, so the "^" placeholders of spliced expressions become the
    // plain double quotes that close and reopen the string literal.
    out = CopyDoublingQuotes(text, splice_state_ == 1 ? '^' : '"', out);
  }
  std::memcpy(out, kStatementEnd.data(), kStatementEnd.size());
  out += kStatementEnd.size();
  splice_state_ = 0;
  Emit(std::string_view(statement_.data(), static_cast<size_t>(out - statement_.data())));
}

}  // namespace vorlintex::translator
