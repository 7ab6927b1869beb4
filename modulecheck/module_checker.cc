#include "modulecheck/module_checker.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <optional>
#include <unordered_map>
#include <utility>

#include "contract/ascii.h"
#include "modulecheck/block_stack.h"
#include "modulecheck/header_lines.h"
#include "modulecheck/line_scanner.h"
#include "modulecheck/public_members.h"
#include "modulecheck/tokens.h"
#include "modulecheck/vb_names.h"

namespace vorlintex::modulecheck {
namespace {

constexpr size_t kMaxLineLength = 1023;
constexpr size_t kMaxContinuations = 24;
constexpr size_t kMaxProcedureBytes = 65535;
// A logical line stops growing here: past 24 continuations of 1,023 characters it has already
// failed, and what follows is not read.
constexpr size_t kMaxLogicalLength = (kMaxContinuations + 1) * (kMaxLineLength + 1);
// Nested procedures are already a failure; past this depth they are only counted.
constexpr size_t kMaxTrackedProcedures = 16;

enum class ProcKind : unsigned char { kSub, kFunction, kPropertyGet, kPropertyLet, kPropertySet };

// Sub, Function and Property: the word after End and Exit.
std::string_view Family(ProcKind kind) {
  switch (kind) {
    case ProcKind::kSub:
      return "Sub";
    case ProcKind::kFunction:
      return "Function";
    default:
      return "Property";
  }
}

std::string_view KindWords(ProcKind kind) {
  switch (kind) {
    case ProcKind::kSub:
      return "Sub";
    case ProcKind::kFunction:
      return "Function";
    case ProcKind::kPropertyGet:
      return "Property Get";
    case ProcKind::kPropertyLet:
      return "Property Let";
    case ProcKind::kPropertySet:
      return "Property Set";
  }
  return "";
}

// One name may be a Sub or Function, or a property with one Get, one Let and one Set.
unsigned char KindBit(ProcKind kind) {
  switch (kind) {
    case ProcKind::kPropertyGet:
      return 2;
    case ProcKind::kPropertyLet:
      return 4;
    case ProcKind::kPropertySet:
      return 8;
    default:
      return 1;
  }
}

// VBScript's functions and statements that Visual Basic 6 lacks, as a procedure name of the
// module may still take them.
constexpr std::array<std::string_view, 4> kVbscriptNames = {"Eval", "Execute", "ExecuteGlobal",
                                                            "GetRef"};

// The lengths and the first letters of the words WordToken asks after: RegExp and VBScript's
// names. Every word of a module is asked; these two looks rule out nearly all of them.
constexpr unsigned kAskedWordLengths = [] {
  unsigned lengths = 1u << std::string_view("regexp").size();
  for (std::string_view name : kVbscriptNames) lengths |= 1u << name.size();
  return lengths;
}();
constexpr unsigned kAskedWordFirstLetters = [] {
  unsigned letters = 1u << ('r' - 'a');
  for (std::string_view name : kVbscriptNames) letters |= 1u << (AsciiLower(name[0]) - 'a');
  return letters;
}();

// The first words of a statement that some rule asks after (Statement, EndStatement,
// ModuleStatement, ProcedureStatement). A statement starting with any other word opens, closes
// and declares nothing: in a procedure it is fine as far as the checker can tell, among the
// declarations it does not belong. Most of a module's statements start with such a word
// (Response, a variable). A rule that asks after a new first word adds it here.
constexpr std::string_view kRuledFirstWords[] = {
    "attribute",  "case",    "class",  "const",  "declare", "default",  "defbool", "defbyte",
    "defcur",     "defdate", "defdbl", "defdec", "defint",  "deflng",   "defobj",  "defsng",
    "defstr",     "defvar",  "dim",    "do",     "else",    "elseif",   "end",     "endif",
    "enum",       "event",   "exit",   "for",    "friend",  "function", "global",  "if",
    "implements", "loop",    "next",   "option", "private", "property", "public",  "select",
    "static",     "sub",     "type",   "wend",   "while",   "with"};
constexpr size_t kLongestRuledFirstWord = 10;
// For each length, the first letters of those words: most other words are told apart here.
constexpr auto kRuledFirstLetters = [] {
  std::array<unsigned, kLongestRuledFirstWord + 1> letters{};
  for (std::string_view word : kRuledFirstWords) letters[word.size()] |= 1u << (word[0] - 'a');
  return letters;
}();

bool MayStartRuledStatement(const Token& token) {
  if (token.kind != Token::Kind::kWord) return false;
  std::string_view word = token.text;
  if (word.size() > 1 && IsTypeCharacter(word.back())) word.remove_suffix(1);
  const char first = AsciiLower(word[0]);  // a word starts with a letter
  if (word.size() > kLongestRuledFirstWord ||
      (kRuledFirstLetters[word.size()] >> (first - 'a') & 1) == 0) {
    return false;
  }
  return std::any_of(std::begin(kRuledFirstWords), std::end(kRuledFirstWords),
                     [word](std::string_view w) { return AsciiEqualIgnoringCase(w, word); });
}

std::string BlockLabel(const OpenBlock& block) {
  std::string label(BlockName(block.kind));
  if (!block.counter.empty()) label += " " + block.counter;
  return label;
}

bool IsPunct(const Token& token, char c) {
  return token.kind == Token::Kind::kPunct && token.text[0] == c;
}

}  // namespace

class ModuleChecker::State {
 public:
  explicit State(ModuleContext context) : context_(context) {}

  void Line(std::string_view line) {
    assert(!finished_);
    if (finished_) return;
    ++line_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineLength) {
      Report(line_, Cause::kLineTooLong, std::to_string(line.size()));
    }
    if (phase_ != Phase::kBody && HeaderLine(line)) return;
    BodyLine(line);
  }

  ModuleVerdict Finish() {
    assert(!finished_);
    if (finished_) return ModuleVerdict{};
    finished_ = true;
    switch (phase_) {
      case Phase::kVersion:
        Report(1, Cause::kMissingVersion, "VERSION");
        break;
      case Phase::kBegin:
        Report(line_, Cause::kHeaderBlock, "BEGIN");
        break;
      case Phase::kInBegin:
        Report(begin_line_, Cause::kHeaderBlock, "END", "BEGIN", begin_line_);
        break;
      case Phase::kAttributes:
        if (!name_seen_) Report(line_, Cause::kMissingName, "VB_Name");
        break;
      case Phase::kBody:
        break;
    }
    if (continuing_) {
      Report(line_, Cause::kDanglingContinuation, "_");
      continuing_ = false;
      EndLogical();
    }
    CloseModuleBlock();
    while (!procedures_.empty()) {
      const Procedure& p = procedures_.back();
      Report(p.line, Cause::kUnclosedProcedure, p.label, "End " + std::string(Family(p.kind)));
      PopProcedure();
    }
    for (size_t i = 0; i < kVbscriptNames.size(); ++i) {
      if (vbscript_use_[i] != 0 && !vbscript_defined_[i]) {
        Report(vbscript_use_[i], Cause::kVbscriptOnly, std::string(kVbscriptNames[i]));
      }
    }
    std::stable_sort(verdict_.first_reasons.begin(), verdict_.first_reasons.end(),
                     [](const Reason& a, const Reason& b) { return a.line < b.line; });
    verdict_.compiles = verdict_.reason_count == 0;
    return std::move(verdict_);
  }

 private:
  enum class Phase : unsigned char { kVersion, kBegin, kInBegin, kAttributes, kBody };

  struct Procedure {
    ProcKind kind;
    std::string label;  // "Sub Main"
    size_t line;
    size_t bytes;        // of its lines so far, each with a CR LF
    size_t block_floor;  // the block depth when it started
  };
  struct Defined {
    unsigned char kinds;
    size_t line;
  };
  // An Enum or Type block among the declarations: its lines are members, not statements.
  struct ModuleBlock {
    std::string_view kind;  // "Enum" or "Type"
    size_t line = 0;
  };

  void Report(size_t line, Cause cause, std::string detail, std::string open_block = {},
              size_t open_line = 0) {
    // One reason per line, cause and name: ";" twice on a line is one fault.
    if (line != reported_line_) {
      reported_line_ = line;
      reported_here_.clear();
    }
    for (const auto& [c, d] : reported_here_) {
      if (c == cause && d == detail) return;
    }
    reported_here_.emplace_back(cause, detail);
    ++verdict_.reason_count;
    if (verdict_.first_reasons.size() < kMaxKeptReasons) {
      verdict_.first_reasons.push_back(
          Reason{line, cause, std::move(detail), std::move(open_block), open_line});
    }
  }

  // The header's lines; false (the header over) for the first line that is not one of them.
  bool HeaderLine(std::string_view line) {
    const std::string_view text = Trim(line);
    while (true) {
      switch (phase_) {
        case Phase::kVersion:
          phase_ = Phase::kBegin;
          if (IsVersionLine(text)) return true;
          Report(line_, Cause::kMissingVersion, std::string(FirstWord(text)));
          // Some other first line is taken as the VERSION line; a header that starts later
          // is still read as one.
          if (AsciiEqualIgnoringCase(text, "begin") || StartsWithWord(text, "attribute")) continue;
          return true;
        case Phase::kBegin:
          if (AsciiEqualIgnoringCase(text, "begin")) {
            phase_ = Phase::kInBegin;
            begin_line_ = line_;
            return true;
          }
          Report(line_, Cause::kHeaderBlock, "BEGIN");
          phase_ = Phase::kAttributes;
          continue;
        case Phase::kInBegin:
          if (AsciiEqualIgnoringCase(text, "end")) {
            phase_ = Phase::kAttributes;
            return true;
          }
          if (StartsWithWord(text, "attribute")) {
            Report(begin_line_, Cause::kHeaderBlock, "END", "BEGIN", begin_line_);
            phase_ = Phase::kAttributes;
            continue;
          }
          if (!text.empty() && !IsHeaderProperty(text)) {
            Report(line_, Cause::kHeaderBlock, std::string(FirstWord(text)));
          }
          return true;
        case Phase::kAttributes:
          if (StartsWithWord(text, "attribute")) {
            AttributeStatement(text, line_);
            return true;
          }
          if (!name_seen_) Report(line_, Cause::kMissingName, "VB_Name");
          phase_ = Phase::kBody;
          return false;
        case Phase::kBody:
          return false;
      }
    }
  }

  void AttributeStatement(std::string_view text, size_t line) {
    const AttributeLine attribute = ParseAttribute(text);
    if (!attribute.well_formed) {
      Report(line, Cause::kBadAttribute, "Attribute");
      return;
    }
    if (phase_ != Phase::kAttributes || !AsciiEqualIgnoringCase(attribute.name, "vb_name")) {
      return;
    }
    name_seen_ = true;
    const ClassName name = ParseClassName(attribute.value);
    if (!name.quoted || !IsIdentifier(name.name, kMaxClassNameLength)) {
      Report(line, Cause::kInvalidName, std::string(name.name));
    } else if (IsReservedWord(name.name)) {
      Report(line, Cause::kReservedName, std::string(name.name));
    }
  }

  void BodyLine(std::string_view line) {
    if (in_comment_) {
      // A comment ending in " _" takes this line too, and the line counts as a continuation.
      AddProcedureBytes(line.size() + 2);
      in_comment_ = EndsInContinuation(line);
      if (in_comment_) CountContinuation();
      return;
    }
    if (continuing_ && Trim(line).empty()) {
      Report(line_ - 1, Cause::kDanglingContinuation, "_");
      continuing_ = false;
      EndLogical();
    }
    ScanLine(line, !continuing_, &scanned_);
    if (scanned_.unclosed_string) Report(line_, Cause::kUnclosedString, "\"");
    if (!continuing_) {
      logical_.clear();
      starts_.clear();
      logical_bytes_ = 0;
      continuations_ = 0;
    }
    if (logical_.size() + scanned_.code.size() < kMaxLogicalLength) {
      if (continuing_) logical_ += ' ';
      starts_.emplace_back(logical_.size(), line_);
      // Most logical lines are one physical line: its code becomes the logical line as it is.
      if (logical_.empty()) {
        logical_.swap(scanned_.code);
      } else {
        logical_ += scanned_.code;
      }
    }
    logical_bytes_ += line.size() + 2;
    if (scanned_.continues) {
      continuing_ = true;
      CountContinuation();
      return;
    }
    continuing_ = false;
    EndLogical();
    in_comment_ = scanned_.comment_continues;
    if (in_comment_) CountContinuation();
  }

  void CountContinuation() {
    if (++continuations_ == kMaxContinuations + 1) {
      Report(line_, Cause::kTooManyContinuations, "_");
    }
  }

  void AddProcedureBytes(size_t bytes) {
    for (Procedure& p : procedures_) p.bytes += bytes;
  }

  size_t LineAt(size_t offset) const {
    size_t line = starts_.empty() ? line_ : starts_.front().second;
    for (const auto& [start, at] : starts_) {
      if (start > offset) break;
      line = at;
    }
    return line;
  }

  // One logical line, its statements parted at ":" (not ":=", a named argument).
  void EndLogical() {
    AddProcedureBytes(logical_bytes_);
    single_if_tail_ = false;
    statements_.clear();
    const std::string_view logical = logical_;
    size_t start = 0;
    for (size_t colon = logical.find(':'); colon != std::string_view::npos;
         colon = logical.find(':', colon + 1)) {
      if (colon + 1 < logical.size() && logical[colon + 1] == '=') continue;
      statements_.emplace_back(start, colon - start);
      start = colon + 1;
    }
    statements_.emplace_back(start, logical.size() - start);
    for (size_t s = 0; s < statements_.size(); ++s) {
      bool more = false;
      for (size_t t = s + 1; t < statements_.size() && !more; ++t) {
        more = !Trim(std::string_view(logical_).substr(statements_[t].first, statements_[t].second))
                    .empty();
      }
      Statement(std::string_view(logical_).substr(statements_[s].first, statements_[s].second),
                statements_[s].first, more);
    }
  }

  bool Is(size_t i, std::string_view word) const {
    return i < tokens_.size() && IsWord(tokens_[i], word);
  }

  void Statement(std::string_view text, size_t offset, bool more_on_line) {
    Tokenize(text, &tokens_);
    if (tokens_.empty()) return;
    ScanTokens(offset);
    // The statements after a single-line If's Then belong to it: none opens or closes a block.
    if (single_if_tail_) return;
    size_t i = 0;
    if (tokens_[0].kind == Token::Kind::kNumber && !procedures_.empty()) i = 1;  // line number
    if (i == tokens_.size()) return;
    if (!MayStartRuledStatement(tokens_[i])) {
      if (procedures_.empty() && module_block_.line == 0) {
        Report(LineAt(offset + tokens_[i].offset), Cause::kStatementOutsideProcedure,
               std::string(tokens_[i].text));
      }
      return;
    }
    const size_t line = LineAt(offset + tokens_[i].offset);

    size_t j = i;
    if (Is(j, "public") || Is(j, "private") || Is(j, "friend") || Is(j, "global")) ++j;
    if (Is(j, "static")) ++j;
    const bool is_default = Is(j, "default");
    if (is_default) ++j;
    if (Is(j, "sub") || Is(j, "function") ||
        (Is(j, "property") && (Is(j + 1, "get") || Is(j + 1, "let") || Is(j + 1, "set")))) {
      ProcedureStart(text, j, is_default, line);
      return;
    }
    if (Is(i, "end") || Is(i, "endif")) {
      EndStatement(i, line);
      return;
    }
    if (Is(i, "class")) {
      in_class_ = true;
      Report(line, Cause::kClassBlock, "Class");
      return;
    }
    if (Is(i, "attribute")) {
      AttributeStatement(Trim(text), line);
      return;
    }
    if (procedures_.empty()) {
      ModuleStatement(text, i, line);
    } else {
      ProcedureStatement(i, line, more_on_line);
    }
  }

  // Marks that are wrong wherever they stand, and names VBScript has and Visual Basic lacks.
  void ScanTokens(size_t offset) {
    // Asked only of a statement that holds a ";": few do.
    std::optional<bool> print;
    for (size_t k = 0; k < tokens_.size(); ++k) {
      const Token& token = tokens_[k];
      if (token.kind == Token::Kind::kAspDelimiter) {
        Report(LineAt(offset + token.offset), Cause::kAspDelimiter, std::string(token.text));
      } else if (token.kind == Token::Kind::kPunct) {
        // ";" separates a Print statement's items (Debug.Print a; b).
        const char c = token.text[0];
        if (c == ';' && !print) {
          print = std::any_of(tokens_.begin(), tokens_.end(),
                              [](const Token& t) { return IsWord(t, "print"); });
        }
        if (c == '{' || c == '}' || (c == ';' && !*print)) {
          Report(LineAt(offset + token.offset), Cause::kNotVisualBasic, std::string(token.text));
        }
      } else if (token.kind == Token::Kind::kWord) {
        WordToken(k, offset + token.offset);
      }
    }
  }

  // `at`: the word's offset in the logical line.
  void WordToken(size_t k, size_t at) {
    const std::string_view text = tokens_[k].text;
    const size_t length = text.size() - (IsTypeCharacter(text.back()) ? 1 : 0);
    if (length >= 32 || (kAskedWordLengths >> length & 1) == 0 ||
        (kAskedWordFirstLetters >> (AsciiLower(text[0]) - 'a') & 1) == 0) {
      return;
    }
    const size_t line = LineAt(at);
    const bool member = k > 0 && (IsPunct(tokens_[k - 1], '.') || IsPunct(tokens_[k - 1], '!'));
    if (IsWord(tokens_[k], "regexp") && !context_.regexp_reference) {
      // New RegExp, As RegExp, As New VBScript_RegExp_55.RegExp.
      size_t before = k;
      if (member && k >= 2 && tokens_[k - 2].kind == Token::Kind::kWord) before = k - 2;
      if (before > 0 && (Is(before - 1, "new") || Is(before - 1, "as"))) {
        Report(line, Cause::kRegExpWithoutReference, "RegExp");
      }
    }
    if (member) return;
    // The name after Sub, Function or Property Get/Let/Set defines the procedure.
    if (k > 0 && (Is(k - 1, "sub") || Is(k - 1, "function") || Is(k - 1, "get") ||
                  Is(k - 1, "let") || Is(k - 1, "set"))) {
      return;
    }
    for (size_t n = 0; n < kVbscriptNames.size(); ++n) {
      if (IsWord(tokens_[k], kVbscriptNames[n]) && vbscript_use_[n] == 0) {
        vbscript_use_[n] = line;
      }
    }
  }

  void ProcedureStart(std::string_view text, size_t j, bool is_default, size_t line) {
    ProcKind kind = ProcKind::kSub;
    size_t name_token = j + 1;
    if (Is(j, "function")) {
      kind = ProcKind::kFunction;
    } else if (Is(j, "property")) {
      kind = Is(j + 1, "get")   ? ProcKind::kPropertyGet
             : Is(j + 1, "let") ? ProcKind::kPropertyLet
                                : ProcKind::kPropertySet;
      name_token = j + 2;
    }
    // The name as written, up to its parameters or its As.
    std::string_view name;
    if (name_token < tokens_.size()) {
      size_t end = name_token + 1;
      while (end < tokens_.size() && !IsPunct(tokens_[end], '(') && !Is(end, "as")) ++end;
      const size_t from = tokens_[name_token].offset;
      name = Trim(
          text.substr(from, (end < tokens_.size() ? tokens_[end].offset : text.size()) - from));
    }
    std::string_view bare = name;
    if (!bare.empty() && std::string_view("%&!#@$").find(bare.back()) != std::string_view::npos) {
      bare.remove_suffix(1);
    }
    if (is_default) Report(line, Cause::kVbscriptOnly, "Default");
    if (!IsIdentifier(bare, kMaxIdentifierLength)) {
      Report(line, Cause::kInvalidName, std::string(name));
    } else if (IsReservedWord(bare)) {
      Report(line, Cause::kReservedName, std::string(name));
    } else {
      Define(bare, kind, line);
    }
    if (!procedures_.empty()) {
      const Procedure& outer = procedures_.back();
      Report(line, Cause::kNestedProcedure, std::string(KindWords(kind)), outer.label, outer.line);
    }
    CloseModuleBlock();
    if (procedures_.size() >= kMaxTrackedProcedures) {
      ++untracked_procedures_;
      return;
    }
    procedures_.push_back(Procedure{kind, std::string(KindWords(kind)) + " " + std::string(name),
                                    line, logical_bytes_, blocks_.depth()});
  }

  void Define(std::string_view name, ProcKind kind, size_t line) {
    const std::string key = AsciiLower(name);
    for (size_t n = 0; n < kVbscriptNames.size(); ++n) {
      if (AsciiEqualIgnoringCase(key, kVbscriptNames[n])) vbscript_defined_[n] = true;
    }
    const unsigned char bit = KindBit(kind);
    auto [it, added] = defined_.try_emplace(key, Defined{bit, line});
    if (added) return;
    if ((it->second.kinds & bit) != 0 || bit == 1 || (it->second.kinds & 1) != 0) {
      Report(line, Cause::kDuplicateProcedure, std::string(name), {}, it->second.line);
    }
    it->second.kinds |= bit;
  }

  void PopProcedure() {
    if (untracked_procedures_ > 0) {
      --untracked_procedures_;
      return;
    }
    const Procedure& p = procedures_.back();
    unclosed_.clear();
    blocks_.Unwind(p.block_floor, &unclosed_);
    for (const OpenBlock& block : unclosed_) {
      Report(block.line, Cause::kUnclosedBlock, BlockLabel(block),
             std::string(BlockEnd(block.kind)));
    }
    if (p.bytes > kMaxProcedureBytes) {
      Report(p.line, Cause::kProcedureTooLarge, p.label.substr(p.label.rfind(' ') + 1));
    }
    procedures_.pop_back();
  }

  void EndStatement(size_t i, size_t line) {
    std::string word = Is(i, "endif") ? "EndIf" : "End";
    if (Is(i, "end") && i + 1 < tokens_.size() && tokens_[i + 1].kind == Token::Kind::kWord) {
      word += " " + std::string(tokens_[i + 1].text);
    }
    if (Is(i + 1, "sub") || Is(i + 1, "function") || Is(i + 1, "property")) {
      if (procedures_.empty()) {
        Report(line, Cause::kStrayEnd, word);
        return;
      }
      const Procedure& p = procedures_.back();
      if (untracked_procedures_ == 0 && !Is(i + 1, Family(p.kind))) {
        Report(line, Cause::kMismatchedEnd, word, p.label, p.line);
      }
      PopProcedure();
    } else if (Is(i, "endif") || Is(i + 1, "if")) {
      Block(blocks_.Close(BlockKind::kIf), word, line);
    } else if (Is(i + 1, "select")) {
      Block(blocks_.Close(BlockKind::kSelect), word, line);
    } else if (Is(i + 1, "with")) {
      Block(blocks_.Close(BlockKind::kWith), word, line);
    } else if (Is(i + 1, "enum") || Is(i + 1, "type")) {
      if (module_block_.line == 0) {
        Report(line, Cause::kUnopenedBlock, word);
      } else if (!Is(i + 1, module_block_.kind)) {
        Report(line, Cause::kMismatchedBlock, word, std::string(module_block_.kind),
               module_block_.line);
      }
      module_block_ = ModuleBlock{};
    } else if (Is(i + 1, "class")) {
      if (!in_class_) Report(line, Cause::kClassBlock, word);
      in_class_ = false;
    } else if (procedures_.empty() && module_block_.line == 0) {
      Report(line, Cause::kStatementOutsideProcedure, word);  // the End statement
    }
  }

  void Block(const BlockMatch& match, const std::string& word, size_t line) {
    if (match.outcome == BlockMatch::Outcome::kMismatched) {
      Report(line, Cause::kMismatchedBlock, word, BlockLabel(match.open), match.open.line);
    } else if (match.outcome == BlockMatch::Outcome::kUnopened) {
      Report(line, Cause::kUnopenedBlock, word);
    }
  }

  // Outside procedures: declarations only.
  void ModuleStatement(std::string_view text, size_t i, size_t line) {
    if (module_block_.line != 0) return;  // a member of an Enum or Type
    const std::string_view word = tokens_[i].text;
    if (Is(i, "public") || Is(i, "global")) {
      if (Is(i, "global")) Report(line, Cause::kPublicNotAllowed, "Global");
      if (Is(i + 1, "const") || Is(i + 1, "declare")) {
        Report(line, Cause::kPublicNotAllowed, std::string(tokens_[i + 1].text));
      } else if (Is(i + 1, "enum") || Is(i + 1, "type")) {
        OpenModuleBlock(i + 1, line);
      } else if (!Is(i + 1, "event")) {
        const std::string_view refused = FirstNonPublicVariable(text, tokens_, i + 1);
        if (!refused.empty()) Report(line, Cause::kPublicNotAllowed, std::string(refused));
      }
    } else if (Is(i, "private") || Is(i, "dim")) {
      if (Is(i + 1, "enum") || Is(i + 1, "type")) OpenModuleBlock(i + 1, line);
    } else if (Is(i, "declare")) {
      // A Declare without Private is Public.
      Report(line, Cause::kPublicNotAllowed, "Declare");
    } else if (Is(i, "enum") || Is(i, "type")) {
      OpenModuleBlock(i, line);
    } else if (!IsModuleDeclaration(i)) {
      Report(line, Cause::kStatementOutsideProcedure, std::string(word));
    }
  }

  bool IsModuleDeclaration(size_t i) const {
    if (Is(i, "const") || Is(i, "option") || Is(i, "implements") || Is(i, "event")) return true;
    static constexpr std::string_view kDefs[] = {"defbool", "defbyte", "defcur", "defdate",
                                                 "defdbl",  "defdec",  "defint", "deflng",
                                                 "defobj",  "defsng",  "defstr", "defvar"};
    return std::any_of(std::begin(kDefs), std::end(kDefs),
                       [&](std::string_view d) { return Is(i, d); });
  }

  void OpenModuleBlock(size_t k, size_t line) {
    module_block_ = ModuleBlock{Is(k, "enum") ? "Enum" : "Type", line};
  }

  void CloseModuleBlock() {
    if (module_block_.line == 0) return;
    Report(module_block_.line, Cause::kUnclosedBlock, std::string(module_block_.kind),
           "End " + std::string(module_block_.kind));
    module_block_ = ModuleBlock{};
  }

  // Inside a procedure: the blocks, and the declarations only a module may make.
  void ProcedureStatement(size_t i, size_t line, bool more_on_line) {
    const Procedure* p = untracked_procedures_ == 0 ? &procedures_.back() : nullptr;
    if (Is(i, "if")) {
      size_t then = i + 1;
      while (then < tokens_.size() && !Is(then, "then")) ++then;
      if (then == tokens_.size()) return;  // If ... GoTo, or not Visual Basic the checker knows
      if (then + 1 < tokens_.size() || more_on_line) {
        single_if_tail_ = true;
      } else {
        blocks_.Open(BlockKind::kIf, line);
      }
    } else if (Is(i, "elseif") || Is(i, "else")) {
      Block(blocks_.Middle(BlockKind::kIf), std::string(tokens_[i].text), line);
    } else if (Is(i, "for")) {
      const size_t counter = Is(i + 1, "each") ? i + 2 : i + 1;
      blocks_.Open(BlockKind::kFor, line,
                   counter < tokens_.size() && tokens_[counter].kind == Token::Kind::kWord
                       ? tokens_[counter].text
                       : std::string_view());
    } else if (Is(i, "next")) {
      // "Next i, j" closes two For blocks, innermost first.
      if (i + 1 == tokens_.size()) {
        Block(blocks_.Close(BlockKind::kFor), "Next", line);
      }
      for (size_t k = i + 1; k < tokens_.size(); ++k) {
        if (IsPunct(tokens_[k], ',')) continue;
        Block(blocks_.Close(BlockKind::kFor, tokens_[k].text),
              "Next " + std::string(tokens_[k].text), line);
      }
    } else if (Is(i, "do")) {
      blocks_.Open(BlockKind::kDo, line);
    } else if (Is(i, "loop")) {
      Block(blocks_.Close(BlockKind::kDo), std::string(tokens_[i].text), line);
    } else if (Is(i, "while")) {
      blocks_.Open(BlockKind::kWhile, line);
    } else if (Is(i, "wend")) {
      Block(blocks_.Close(BlockKind::kWhile), std::string(tokens_[i].text), line);
    } else if (Is(i, "select") && Is(i + 1, "case")) {
      blocks_.Open(BlockKind::kSelect, line);
    } else if (Is(i, "case")) {
      Block(blocks_.Middle(BlockKind::kSelect), std::string(tokens_[i].text), line);
    } else if (Is(i, "with")) {
      blocks_.Open(BlockKind::kWith, line);
    } else if (Is(i, "exit")) {
      ExitStatement(i, line, p);
    } else if (Is(i, "public") || Is(i, "private") || Is(i, "friend") || Is(i, "global") ||
               Is(i, "enum") || Is(i, "type") || Is(i, "declare") || Is(i, "event") ||
               Is(i, "implements") || Is(i, "option")) {
      Report(line, Cause::kDeclarationInProcedure, std::string(tokens_[i].text));
    }
  }

  void ExitStatement(size_t i, size_t line, const Procedure* p) {
    const std::string word =
        i + 1 < tokens_.size() ? "Exit " + std::string(tokens_[i + 1].text) : "Exit";
    if (Is(i + 1, "sub") || Is(i + 1, "function") || Is(i + 1, "property")) {
      if (p != nullptr && !Is(i + 1, Family(p->kind))) {
        Report(line, Cause::kMismatchedEnd, word, p->label, p->line);
      }
    } else if (Is(i + 1, "for") || Is(i + 1, "do")) {
      const size_t floor = p != nullptr ? p->block_floor : 0;
      if (!blocks_.Within(Is(i + 1, "for") ? BlockKind::kFor : BlockKind::kDo, floor)) {
        Report(line, Cause::kUnopenedBlock, word);
      }
    }
  }

  const ModuleContext context_;
  ModuleVerdict verdict_;
  bool finished_ = false;
  size_t line_ = 0;

  Phase phase_ = Phase::kVersion;
  size_t begin_line_ = 0;
  bool name_seen_ = false;

  // The logical line being gathered: its code, where each physical line starts in it, and its
  // bytes as written.
  ScannedLine scanned_;
  std::string logical_;
  std::vector<std::pair<size_t, size_t>> starts_;  // offset in logical_, physical line
  size_t logical_bytes_ = 0;
  size_t continuations_ = 0;
  bool continuing_ = false;
  bool in_comment_ = false;
  std::vector<std::pair<size_t, size_t>> statements_;  // offset and length in logical_
  std::vector<Token> tokens_;
  bool single_if_tail_ = false;

  std::vector<Procedure> procedures_;  // innermost last; more than one only when nested
  size_t untracked_procedures_ = 0;
  BlockStack blocks_;
  std::vector<OpenBlock> unclosed_;
  std::unordered_map<std::string, Defined> defined_;  // procedure names, lower case
  ModuleBlock module_block_;
  bool in_class_ = false;
  std::array<size_t, kVbscriptNames.size()> vbscript_use_{};  // first line of a use, or 0
  std::array<bool, kVbscriptNames.size()> vbscript_defined_{};

  size_t reported_line_ = 0;
  std::vector<std::pair<Cause, std::string>> reported_here_;
};

ModuleChecker::ModuleChecker(ModuleContext context) : state_(std::make_unique<State>(context)) {}
ModuleChecker::~ModuleChecker() = default;

void ModuleChecker::Line(std::string_view line) { state_->Line(line); }
ModuleVerdict ModuleChecker::Finish() { return state_->Finish(); }

}  // namespace vorlintex::modulecheck
