#include "compilable/page_module.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "compilable/identifiers.h"
#include "compilable/page_pieces.h"
#include "compilable/server_jscript.h"
#include "compilable/statements.h"
#include "compilable/vb_lines.h"
#include "contract/ascii.h"
#include "translator/class_module_layout.h"

namespace vorlintex::compilable {
namespace {

// The page method is cut into parts of about this much source; Visual Basic refuses a
// procedure whose code passes 64 KB.
constexpr size_t kPartBytes = 32 * 1024;
constexpr size_t kProcedureBytes = 60 * 1024;

// Names the class module already gives a meaning: never declared again.
bool IsHostName(std::string_view lower) {
  return lower == "response" || lower == "request" || lower == "server" || lower == "session" ||
         lower == "application" || lower == "aspsc" || lower == "err" || lower == "me";
}

constexpr std::string_view kHostObjects[] = {"Application", "Request", "Session", "Response",
                                             "Server"};

// VBScript functions Visual Basic 6 does not have.
bool HasNoEquivalent(std::string_view lower) {
  return lower == "eval" || lower == "execute" || lower == "executeglobal" || lower == "getref";
}

std::string_view LeadingSpaceTrimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

std::string_view TrailingSpaceTrimmed(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The fixed blocks of a class module, written into the lines it is built in.
struct LineList {
  std::vector<std::string>* lines;
  void WriteLine(std::string_view text) { lines->emplace_back(text); }
};

// A statement's physical lines, each within the line limit.
// `function`: the name of the Function or Property Get being read, if any, whose value is never
// read back by a cut assignment.
void AppendStatement(std::string_view statement, std::vector<std::string>* lines,
                     std::string_view function = {}) {
  // Continued over more lines than Visual Basic takes: several statements.
  if (std::vector<std::string> split = SplitContinued(statement, function); !split.empty()) {
    for (const std::string& part : split) AppendStatement(part, lines);
    return;
  }
  size_t start = 0;
  while (start <= statement.size()) {
    size_t end = statement.find('\n', start);
    if (end == std::string_view::npos) end = statement.size();
    AppendFitted(TrailingSpaceTrimmed(statement.substr(start, end - start)), lines);
    start = end + 1;
  }
}

// The items of a declaration after its keywords, split at commas outside parentheses, each
// with its name.
struct DeclaredItem {
  std::string_view text;
  std::string lower_name;
};

std::vector<DeclaredItem> DeclaredItems(std::string_view rest) {
  std::vector<DeclaredItem> items;
  int depth = 0;
  size_t start = 0;
  bool in_string = false;
  auto add = [&](size_t end) {
    std::string_view item =
        TrailingSpaceTrimmed(LeadingSpaceTrimmed(rest.substr(start, end - start)));
    size_t name_end = 0;
    while (name_end < item.size() && IsNameByte(item[name_end])) ++name_end;
    if (name_end > 0) items.push_back({item, AsciiLower(item.substr(0, name_end))});
  };
  for (size_t i = 0; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '"') in_string = !in_string;
    if (in_string) continue;
    if (c == '\'') {
      rest = rest.substr(0, i);
      break;
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      add(i);
      start = i + 1;
    }
  }
  add(rest.size());
  return items;
}

// The statement that ends a procedure of `kind` ("sub", "function", "property get"...).
std::string EndStatementOf(std::string_view kind) {
  if (kind == "sub") return "End Sub";
  return kind == "function" ? "End Function" : "End Property";
}

// A procedure, or a class, being gathered.
struct Procedure {
  std::string key;  // lower-case name, and the kind for properties
  std::string name;
  std::string end;  // the statement that ends it: "End Sub", "End Function", "End Property"
  std::string file;
  int line = 0;
  std::vector<std::string> lines;
};

struct ClassBeingRead {
  std::string name;
  std::string file;
  int line = 0;
  std::vector<std::string> declarations;
  std::vector<std::string> procedures;
  std::unordered_set<std::string> declared;  // lower-case member names
  bool in_procedure = false;
  std::string open_end;        // the End statement of the procedure being read
  std::string procedure_name;  // and its name
  bool uses_host[5] = {};
};

// A statement of the page method, with the depth of blocks open before it.
struct BodyItem {
  std::vector<std::string> lines;
  int depth = 0;
  bool on_error_resume = false;  // an "On Error Resume Next"
  bool on_error_off = false;     // an "On Error GoTo 0"
  // A block's own line that must stay in the block's procedure: its Case, Else, ElseIf or its
  // closing line.
  bool keeps_place = false;
  // A statement whose meaning would change in another procedure: Exit, On Error, or a With
  // (the statements of a With name its object by a leading ".").
  bool bound_here = false;
};

// The first word of a statement, lower-cased.
std::string FirstWordLower(std::string_view statement) {
  size_t end = 0;
  while (end < statement.size() && IsNameByte(statement[end])) ++end;
  return AsciiLower(statement.substr(0, end));
}

// True when "eval" stands anywhere in `text`, in any ASCII letter case.
bool MentionsEval(std::string_view text) {
  for (size_t at = 0; at + 4 <= text.size(); ++at) {
    if ((text[at] == 'e' || text[at] == 'E') &&
        AsciiEqualIgnoringCase(text.substr(at, 4), "eval")) {
      return true;
    }
  }
  return false;
}

// Names the class module's own members take: a procedure or variable of the page by one of
// these names is given another.
bool IsModuleMemberName(std::string_view lower) {
  return lower == "main" || lower == "onstartpage" || lower == "onendpage" || lower == "aspsc";
}

// `line` with every name of `renamed` (lower-case keys) replaced, outside string literals,
// comments and brackets, and never a member (a name after ".").
void RenameWords(const std::unordered_map<std::string, std::string>& renamed, std::string* line) {
  std::string& s = *line;
  char before = ' ';
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '"') {
      size_t close = s.find('"', i + 1);
      i = close == std::string::npos ? s.size() : close + 1;
      before = '"';
    } else if (c == '\'') {
      return;
    } else if (c == '[') {
      size_t close = s.find(']', i + 1);
      i = close == std::string::npos ? s.size() : close + 1;
      before = ']';
    } else if (IsLetter(c)) {
      size_t end = i;
      while (end < s.size() && IsNameByte(s[end])) ++end;
      std::string lower = AsciiLower(std::string_view(s).substr(i, end - i));
      if (lower == "rem" && LeadingSpaceTrimmed(std::string_view(s).substr(0, i)).empty()) return;
      auto found = before == '.' ? renamed.end() : renamed.find(lower);
      if (found != renamed.end()) {
        s.replace(i, end - i, found->second);
        end = i + found->second.size();
      }
      before = 'a';
      i = end;
    } else {
      if (c != ' ' && c != '\t') before = c;
      ++i;
    }
  }
}

// An include name as the run spells paths, so that one file is one path however named.
std::string BackslashPath(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace

namespace {

// The parts of `path` with "." and ".." resolved lexically, lower-cased; a ".." that climbs
// above the first part is kept, so that no such path lies within a folder named without one.
std::vector<std::string> ResolvedParts(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else {
        parts.emplace_back("..");
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(AsciiLower(part));
    }
    start = end + 1;
  }
  return parts;
}

}  // namespace

bool PathWithin(std::string_view folder, std::string_view path) {
  const std::vector<std::string> outer = ResolvedParts(folder);
  const std::vector<std::string> inner = ResolvedParts(path);
  if (!inner.empty() && inner.front() == ".." && (outer.empty() || outer.front() != "..")) {
    return false;
  }
  return inner.size() >= outer.size() && std::equal(outer.begin(), outer.end(), inner.begin());
}

std::string IncludePathFor(std::string_view including, std::string_view name, bool is_virtual,
                           std::string_view site_root) {
  if (is_virtual) {
    while (!name.empty() && (name.front() == '/' || name.front() == '\\')) name.remove_prefix(1);
    return std::string(site_root) + "\\" + BackslashPath(name);
  }
  size_t slash = including.find_last_of("\\/");
  std::string folder =
      slash == std::string_view::npos ? "." : std::string(including.substr(0, slash));
  return folder + "\\" + BackslashPath(name);
}

class ModuleBuilder::Impl {
 public:
  Impl(std::string class_name, std::string site_root, IncludeSource& includes,
       RulesObserver* observer, bool pass_over)
      : class_name_(std::move(class_name)),
        site_root_(std::move(site_root)),
        includes_(includes),
        observer_(observer),
        pass_over_(pass_over) {}

  bool AddFile(const std::string& path, std::string_view text);
  void EndOfPage();
  PageModule Finish();

  std::string missing_include;
  void KeepIncludesUnder(std::string folder) { include_root_ = std::move(folder); }

 private:
  void Tell(RulesFinding finding, int line, std::string_view detail) {
    if (observer_ != nullptr) observer_->Found(finding, file_, line, detail);
  }
  // A finding on the whole page, at its first line.
  void TellPage(RulesFinding finding, std::string_view detail) {
    if (observer_ != nullptr) observer_->Found(finding, page_path_, 1, detail);
  }
  bool AddPiece(const Piece& piece);
  // Code or an expression encoded for the script engine (#@~^): kept as written, told.
  void KeepEncoded(std::string_view text, int line);
  void AddCode(std::string_view code, int line);
  void AddStatement(const Statement& statement);
  void AddClassStatement(const Statement& statement, const StatementShape& shape);
  void AddDeclaration(std::string_view statement);
  void NoteNames(std::string_view statement, int line, std::vector<std::string>* lines);
  void NoteAssignment(std::string_view statement, const std::vector<Word>& words);
  // Lines that go where the page is now: its page method, or the procedure being read.
  void Emit(std::vector<std::string> lines, const StatementShape* shape,
            std::string_view statement = {});
  void EndProcedure();
  void EndClass();
  // A block of the page method larger than a procedure may be: the runs of statements
  // between its own lines (Case, Else, ...) move, in pieces of about kPartBytes, to private
  // procedures named `prefix` and a number, each called where its statements stood. The
  // procedures' bodies, in order.
  std::vector<std::vector<std::string>> HoistFromLargeBlocks(const std::string& prefix);
  struct Hoisted {
    std::vector<BodyItem> body;                        // the page method's new statements
    std::vector<std::vector<std::string>> procedures;  // the bodies moved out
  };
  // The statements [begin, end) of body_, inside blocks `depth` deep, into `hoisted`.
  // `resume_next`: whether On Error Resume Next holds there, as the statements set it.
  void HoistFromBlock(size_t begin, size_t end, int depth, bool* resume_next,
                      const std::string& prefix, Hoisted* hoisted);
  // A JScript block of functions only: a procedure for each that calls it in the module's
  // script control. False, nothing done, for any other JScript.
  bool AddJScript(std::string_view code, int line);

  std::string class_name_;
  const std::string site_root_;
  IncludeSource& includes_;
  RulesObserver* observer_;
  const bool pass_over_;
  // See ModuleBuilder::KeepIncludesUnder; empty while every path is read.
  std::string include_root_;

  std::string page_path_;                   // the page
  std::string file_;                        // the file being read
  std::vector<std::string> include_stack_;  // lower-case paths of the files being read
  bool stopped_ = false;
  bool uses_regexp_ = false;

  std::vector<std::string> declarations_;
  std::unordered_set<std::string> declared_;  // lower-case names declared at module level
  std::vector<std::string> assigned_;         // lower-case names given values at page level
  std::unordered_set<std::string> assigned_set_;

  std::vector<Procedure> procedures_;
  std::unordered_map<std::string, size_t> procedure_index_;
  std::unordered_set<std::string> procedure_names_;  // lower case
  std::optional<Procedure> procedure_;               // being read

  std::vector<ClassModuleText> classes_;
  std::unordered_map<std::string, size_t> class_index_;
  std::optional<ClassBeingRead> class_;

  std::vector<BodyItem> body_;
  int depth_ = 0;

  std::string jscript_;  // the code of the page's JScript blocks, each once
  std::unordered_set<std::string> jscript_blocks_;
};

bool ModuleBuilder::Impl::AddFile(const std::string& path, std::string_view text) {
  if (include_stack_.empty()) page_path_ = path;
  std::string saved_file = std::move(file_);
  file_ = path;
  include_stack_.push_back(AsciiLower(path));
  // The text must outlive its pieces while they are read.
  for (const Piece& piece : ReadPieces(text)) {
    if (!AddPiece(piece)) break;
  }
  include_stack_.pop_back();
  file_ = std::move(saved_file);
  return !stopped_;
}

bool ModuleBuilder::Impl::AddPiece(const Piece& piece) {
  switch (piece.kind) {
    case PieceKind::kText: {
      std::vector<std::string> lines;
      AppendTextWrites(piece.text, &lines);
      // Line by line, so that a long text can be cut between parts of the page method.
      for (std::string& line : lines) Emit({std::move(line)}, nullptr);
      return true;
    }
    case PieceKind::kExpression: {
      std::string_view expression = TrailingSpaceTrimmed(LeadingSpaceTrimmed(piece.text));
      if (expression.empty()) return true;
      if (expression.rfind("#@~^", 0) == 0) {
        KeepEncoded(piece.text, piece.line);
        return true;
      }
      std::vector<std::string> lines;
      NoteNames(expression, piece.line, &lines);
      AppendStatement("Response.Write " + std::string(expression), &lines);
      Emit(std::move(lines), nullptr);
      return true;
    }
    case PieceKind::kDirective:
      return true;
    case PieceKind::kCode:
      if (LeadingSpaceTrimmed(piece.text).rfind("#@~^", 0) == 0) {
        KeepEncoded(piece.text, piece.line);
        return true;
      }
      AddCode(piece.text, piece.line);
      return true;
    case PieceKind::kScript:
      if (IsVbscript(piece.language)) {
        AddCode(piece.text, piece.line);
        return true;
      } else if (IsJScript(piece.language) && AddJScript(piece.text, piece.line)) {
        return true;
      } else {
        Tell(RulesFinding::kForeignScript, piece.line, piece.language);
        std::vector<std::string> lines{
            "' Kept as written; it will not compile: a server script in " +
            std::string(piece.language) + "."};
        AppendStatement(piece.text, &lines);
        Emit(std::move(lines), nullptr);
        return true;
      }
    case PieceKind::kInclude: {
      std::string path = IncludePathFor(file_, piece.text, piece.is_virtual, site_root_);
      if (!include_root_.empty() && !PathWithin(include_root_, path) &&
          !PathWithin(site_root_, path)) {
        Tell(RulesFinding::kIncludeOutside, piece.line, path);
        includes_.Refuse(path);
        return true;
      }
      std::string lower = AsciiLower(path);
      for (const std::string& open : include_stack_) {
        if (open == lower) {
          Tell(RulesFinding::kIncludeCycle, piece.line, path);
          return true;
        }
      }
      std::optional<std::string> text = includes_.Read(path);
      if (!text) {
        Tell(RulesFinding::kMissingInclude, piece.line, path);
        if (pass_over_) return true;
        missing_include = path;
        stopped_ = true;
        return false;
      }
      if (observer_ != nullptr) observer_->IncludeBegins(file_, piece.line, path);
      AddFile(path, *text);
      if (observer_ != nullptr) observer_->IncludeEnds();
      return !stopped_;
    }
  }
  return true;
}

void ModuleBuilder::Impl::KeepEncoded(std::string_view text, int line) {
  // Only the script engine can read an encoded script; the page's author has its source.
  Tell(RulesFinding::kEncodedScript, line, "#@~^");
  std::vector<std::string> lines{
      "' Kept as written; it will not compile: an encoded script (#@~^)."};
  AppendStatement(text, &lines);
  Emit(std::move(lines), nullptr);
}

void ModuleBuilder::Impl::AddCode(std::string_view code, int line) {
  for (const Statement& statement : SplitStatements(code, line)) AddStatement(statement);
}

void ModuleBuilder::Impl::AddStatement(const Statement& read) {
  // Text that outlives the statement's use here when it has to be rewritten.
  std::string rewritten;
  Statement statement = read;
  if (MentionsEval(read.text)) {
    rewritten = WithoutValueEvals(read.text);
    statement.text = rewritten;
  }
  // A block's Else with a statement after it ("Else If a Then", a nested If): two statements,
  // as Visual Basic wants a block's Else alone.
  if (statement.text.size() > 5 && AsciiEqualIgnoringCase(statement.text.substr(0, 4), "else") &&
      (statement.text[4] == ' ' || statement.text[4] == '\t')) {
    AddStatement({statement.text.substr(0, 4), statement.line});
    AddStatement({LeadingSpaceTrimmed(statement.text.substr(5)), statement.line});
    return;
  }
  StatementShape shape = ShapeOf(statement.text);
  if (class_) {
    AddClassStatement(statement, shape);
    return;
  }
  if (procedure_) {
    if (shape.shape == Shape::kProcedureEnd) {
      AppendStatement(statement.text, &procedure_->lines);
      EndProcedure();
      return;
    }
    std::vector<std::string> lines;
    NoteNames(statement.text, statement.line, &lines);
    AppendStatement(statement.text, &lines, procedure_->name);
    Emit(std::move(lines), &shape);
    return;
  }
  switch (shape.shape) {
    case Shape::kProcedureStart: {
      Procedure procedure;
      procedure.name = shape.name;
      procedure.key = AsciiLower(shape.name);
      if (shape.kind.rfind("property", 0) == 0) procedure.key += " " + shape.kind;
      procedure.end = EndStatementOf(shape.kind);
      procedure.file = file_;
      procedure.line = statement.line;
      NoteNames(statement.text, statement.line, &procedure.lines);
      AppendStatement(statement.text, &procedure.lines);
      procedure_ = std::move(procedure);
      procedure_names_.insert(AsciiLower(shape.name));
      return;
    }
    case Shape::kClassStart:
      class_.emplace();
      class_->name = shape.name;
      class_->file = file_;
      class_->line = statement.line;
      return;
    case Shape::kDeclaration:
      AddDeclaration(statement.text);
      return;
    case Shape::kOptionExplicit:
      return;
    default:
      break;
  }
  std::vector<std::string> lines;
  NoteNames(statement.text, statement.line, &lines);
  NoteAssignment(statement.text, WordsOf(statement.text));
  AppendStatement(statement.text, &lines);
  Emit(std::move(lines), &shape, statement.text);
}

void ModuleBuilder::Impl::AddClassStatement(const Statement& statement,
                                            const StatementShape& shape) {
  ClassBeingRead& read = *class_;
  if (shape.shape == Shape::kClassEnd) {
    EndClass();
    return;
  }
  std::vector<std::string> lines;
  NoteNames(statement.text, statement.line, &lines);
  for (const Word& word : WordsOf(statement.text)) {
    if (word.before == '.') continue;
    for (size_t i = 0; i < 5; ++i) {
      if (AsciiEqualIgnoringCase(word.lower, kHostObjects[i])) read.uses_host[i] = true;
    }
  }
  if (!read.in_procedure && shape.shape == Shape::kProcedureStart) {
    read.in_procedure = true;
    read.open_end = EndStatementOf(shape.kind);
    read.procedure_name = shape.name;
    std::string text(statement.text);
    if (shape.is_default) {
      // Visual Basic marks a default member by an attribute, not a keyword.
      size_t at = AsciiLower(text).find("default");
      text.erase(at, 8);
      AppendStatement(text, &read.procedures);
      read.procedures.push_back("Attribute " + shape.name + ".VB_UserMemId = 0");
    } else {
      AppendStatement(text, &read.procedures);
    }
    return;
  }
  if (read.in_procedure) {
    if (shape.shape == Shape::kProcedureEnd) read.in_procedure = false;
    read.procedures.insert(read.procedures.end(), lines.begin(), lines.end());
    AppendStatement(statement.text, &read.procedures, read.procedure_name);
    return;
  }
  // Outside the class's procedures only declarations stand.
  if (shape.shape == Shape::kDeclaration || shape.shape == Shape::kComment) {
    for (const DeclaredItem& item : DeclaredItems(statement.text))
      read.declared.insert(item.lower_name);
  }
  read.declarations.insert(read.declarations.end(), lines.begin(), lines.end());
  AppendStatement(statement.text, &read.declarations);
}

void ModuleBuilder::Impl::AddDeclaration(std::string_view statement) {
  std::vector<Word> words = WordsOf(statement);
  // The keywords: Dim, Const, Public, Private, and Const after either.
  size_t keywords = 1;
  bool is_const = words[0].lower == "const";
  if (words.size() > 1 && words[1].lower == "const") {
    is_const = true;
    keywords = 2;
  }
  const char* rest_at = words[keywords - 1].text.data() + words[keywords - 1].text.size();
  std::string_view rest(rest_at, statement.data() + statement.size() - rest_at);
  std::string kept;
  for (const DeclaredItem& item : DeclaredItems(rest)) {
    // One name declared twice (a page and its include, or an include read twice) once.
    if (!declared_.insert(item.lower_name).second) continue;
    if (!kept.empty()) kept += ", ";
    kept += item.text;
  }
  if (kept.empty()) return;
  // At page level Public and Private mean Dim; a class module keeps its constants private.
  AppendStatement((is_const ? "Private Const " : "Dim ") + kept, &declarations_);
}

// Words of the statement that the compiled class cannot have as they stand.
void ModuleBuilder::Impl::NoteNames(std::string_view statement, int line,
                                    std::vector<std::string>* lines) {
  std::vector<Word> words = WordsOf(statement);
  for (size_t i = 0; i < words.size(); ++i) {
    const Word& word = words[i];
    if (word.before == '.') continue;
    if (HasNoEquivalent(word.lower) && word.after != '.') {
      Tell(RulesFinding::kNoEquivalent, line, word.text);
      lines->push_back("' Kept as written; it will not compile: Visual Basic 6 has no " +
                       std::string(word.text) + ".");
    }
    if (word.lower == "new" && i + 1 < words.size() && words[i + 1].lower == "regexp") {
      uses_regexp_ = true;
    }
  }
}

void ModuleBuilder::Impl::NoteAssignment(std::string_view statement,
                                         const std::vector<Word>& words) {
  if (words.empty() || words[0].before != ' ') return;
  size_t target = 0;
  const std::string& first = words[0].lower;
  if (first == "if") {
    // A one-line If: the statements after its Then.
    for (size_t i = 1; i < words.size(); ++i) {
      if (words[i].lower != "then") continue;
      const char* after = words[i].text.data() + words[i].text.size();
      std::string_view rest(after, statement.data() + statement.size() - after);
      for (const Statement& inner : SplitStatements(rest, 1)) {
        // "a = 1 Else b = 2": both sides of the Else are the If's statements.
        std::vector<Word> inner_words = WordsOf(inner.text);
        auto is_else = [](const Word& w) { return w.lower == "else" && w.before != '.'; };
        auto at = std::find_if(inner_words.begin(), inner_words.end(), is_else);
        if (at == inner_words.end()) {
          NoteAssignment(inner.text, inner_words);
          continue;
        }
        const char* else_end = at->text.data() + at->text.size();
        std::string_view before(inner.text.data(), at->text.data() - inner.text.data());
        std::string_view after(else_end, inner.text.data() + inner.text.size() - else_end);
        NoteAssignment(before, WordsOf(before));
        NoteAssignment(after, WordsOf(after));
      }
      break;
    }
    return;
  }
  if (first == "set" || first == "for") {
    target = 1;
    if (first == "for" && words.size() > 2 && words[1].lower == "each") target = 2;
  } else if (first == "redim") {
    target = words.size() > 1 && words[1].lower == "preserve" ? 2 : 1;
  } else if (IsReservedWord(first)) {
    return;
  } else {
    // name = ..., or name(...) = ...
    const char* after = words[0].text.data() + words[0].text.size();
    std::string_view rest(after, statement.data() + statement.size() - after);
    rest = LeadingSpaceTrimmed(rest);
    if (!rest.empty() && rest[0] == '(') {
      int depth = 0;
      size_t i = 0;
      for (; i < rest.size(); ++i) {
        if (rest[i] == '(') ++depth;
        if (rest[i] == ')' && --depth == 0) break;
      }
      rest = LeadingSpaceTrimmed(rest.substr(i < rest.size() ? i + 1 : rest.size()));
    }
    if (rest.empty() || rest[0] != '=') return;
  }
  if (target >= words.size() || words[target].after == '.') return;
  const std::string& name = words[target].lower;
  if (IsReservedWord(name) || IsHostName(name)) return;
  if (first == "redim") {
    // A module-level dynamic array that the page method's ReDim sizes.
    if (assigned_set_.insert(name).second) assigned_.push_back(name + "()");
    return;
  }
  if (assigned_set_.insert(name).second) assigned_.push_back(name);
}

void ModuleBuilder::Impl::Emit(std::vector<std::string> lines, const StatementShape* shape,
                               std::string_view statement) {
  if (lines.empty()) return;
  if (procedure_) {
    procedure_->lines.insert(procedure_->lines.end(), std::make_move_iterator(lines.begin()),
                             std::make_move_iterator(lines.end()));
    return;
  }
  if (class_) {
    std::vector<std::string>& into =
        class_->in_procedure ? class_->procedures : class_->declarations;
    into.insert(into.end(), lines.begin(), lines.end());
    return;
  }
  BodyItem item;
  item.lines = std::move(lines);
  item.depth = depth_;
  if (shape != nullptr) {
    const std::string first = FirstWordLower(statement);
    item.keeps_place = shape->depth_change < 0 || first == "case" || first == "else" ||
                       first == "elseif" || first == "end" || first == "endif";
    item.bound_here = first == "exit" || first == "on" || first == "with";
    depth_ += shape->depth_change;
    if (depth_ < 0) depth_ = 0;
    if (first == "on") {
      std::vector<Word> words = WordsOf(statement);
      if (words.size() >= 3 && words[0].lower == "on" && words[1].lower == "error") {
        item.on_error_resume = words[2].lower == "resume";
        item.on_error_off = words[2].lower == "goto";
      }
    }
  }
  body_.push_back(std::move(item));
}

bool ModuleBuilder::Impl::AddJScript(std::string_view code, int line) {
  if (procedure_ || class_) return false;
  std::optional<std::vector<JScriptFunction>> functions = JScriptFunctions(code);
  if (!functions) return false;
  // One block read twice (an include named twice) is given once.
  if (!jscript_blocks_.insert(std::string(code)).second) return true;
  jscript_ += code;
  if (!jscript_.empty() && jscript_.back() != '\n') jscript_ += "\r\n";
  for (const JScriptFunction& function : *functions) {
    procedure_ = Procedure{};
    procedure_->name = function.name;
    procedure_->key = AsciiLower(function.name);
    procedure_->file = file_;
    procedure_->line = line;
    procedure_->lines = JScriptCaller(function);
    procedure_names_.insert(procedure_->key);
    EndProcedure();
  }
  return true;
}

void ModuleBuilder::Impl::EndProcedure() {
  Procedure procedure = std::move(*procedure_);
  procedure_.reset();
  auto [at, added] = procedure_index_.try_emplace(procedure.key, procedures_.size());
  if (added) {
    procedures_.push_back(std::move(procedure));
    return;
  }
  // The same definition read twice is written once; a different one would not compile.
  if (procedures_[at->second].lines != procedure.lines) {
    if (observer_ != nullptr) {
      observer_->Found(RulesFinding::kProcedureRedefined, procedure.file, procedure.line,
                       procedure.name);
    }
  }
}

void ModuleBuilder::Impl::EndClass() {
  ClassBeingRead read = std::move(*class_);
  class_.reset();
  ClassModuleText module;
  module.name = read.name;
  LineList header{&module.lines};
  translator::WriteClassHeader(header, read.name, false);
  module.lines.insert(module.lines.end(), read.declarations.begin(), read.declarations.end());
  module.lines.insert(module.lines.end(), read.procedures.begin(), read.procedures.end());
  // A class of the page reaches the page's host objects through the object context of the
  // call, late bound so that the project needs no reference for it.
  for (size_t i = 0; i < 5; ++i) {
    if (!read.uses_host[i] || read.declared.count(AsciiLower(kHostObjects[i])) != 0) continue;
    const std::string name(kHostObjects[i]);
    module.lines.push_back("Private Function " + name + "() As Object");
    module.lines.push_back("    Set " + name +
                           " = CreateObject(\"MTxAS.AppServer.1\").GetObjectContext()(\"" + name +
                           "\")");
    module.lines.push_back("End Function");
  }
  auto [at, added] = class_index_.try_emplace(AsciiLower(read.name), classes_.size());
  if (added) {
    classes_.push_back(std::move(module));
  } else if (classes_[at->second].lines != module.lines && observer_ != nullptr) {
    observer_->Found(RulesFinding::kClassRedefined, read.file, read.line, read.name);
  }
}

namespace {

size_t BytesOf(const BodyItem& item) {
  size_t bytes = 0;
  for (const std::string& line : item.lines) bytes += line.size() + 2;
  return bytes;
}

}  // namespace

void ModuleBuilder::Impl::HoistFromBlock(size_t begin, size_t end, int depth, bool* resume_next,
                                         const std::string& prefix, Hoisted* hoisted) {
  std::vector<BodyItem>& items = body_;
  // The statements gathered for the next procedure: [piece_begin, i).
  size_t piece_begin = begin;
  size_t piece_bytes = 0;
  bool movable = true;
  bool piece_resume = *resume_next;  // as the piece begins
  auto note_error_handling = [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (items[k].on_error_resume) *resume_next = true;
      if (items[k].on_error_off) *resume_next = false;
    }
  };
  auto flush = [&](size_t piece_end) {
    if (piece_begin == piece_end) return;
    if (!movable || piece_bytes < kPartBytes / 4) {
      for (size_t k = piece_begin; k < piece_end; ++k) hoisted->body.push_back(std::move(items[k]));
    } else {
      std::vector<std::string> lines;
      // Error handling set before holds in the procedure too.
      if (piece_resume) lines.push_back("On Error Resume Next");
      for (size_t k = piece_begin; k < piece_end; ++k) {
        for (std::string& line : items[k].lines) lines.push_back(std::move(line));
      }
      hoisted->procedures.push_back(std::move(lines));
      BodyItem call;
      call.depth = depth;
      call.lines.push_back(prefix + std::to_string(hoisted->procedures.size()));
      hoisted->body.push_back(std::move(call));
    }
    piece_begin = piece_end;
    piece_bytes = 0;
    movable = true;
  };
  size_t i = begin;
  while (i < end) {
    if (items[i].depth == depth && items[i].keeps_place) {
      // The block's own line stays where it is.
      flush(i);
      note_error_handling(i, i + 1);
      hoisted->body.push_back(std::move(items[i++]));
      piece_begin = i;
      continue;
    }
    // One statement of this depth with the blocks it opens.
    size_t unit_end = i + 1;
    size_t unit_bytes = BytesOf(items[i]);
    bool unit_movable = !items[i].bound_here;
    while (unit_end < end && items[unit_end].depth > depth) {
      unit_bytes += BytesOf(items[unit_end]);
      if (items[unit_end].bound_here) unit_movable = false;
      ++unit_end;
    }
    if (unit_bytes > kProcedureBytes) {
      flush(i);
      if (unit_end - i > 1 && !items[i].bound_here) {
        // A block too large itself: its own statements are moved in turn.
        hoisted->body.push_back(std::move(items[i]));
        HoistFromBlock(i + 1, unit_end, depth + 1, resume_next, prefix, hoisted);
      } else {
        TellPage(RulesFinding::kBlockTooLarge, class_name_);
        note_error_handling(i, unit_end);
        for (size_t k = i; k < unit_end; ++k) hoisted->body.push_back(std::move(items[k]));
      }
      i = piece_begin = unit_end;
      piece_resume = *resume_next;
      continue;
    }
    if (piece_bytes > 0 && piece_bytes + unit_bytes > kPartBytes) flush(i);
    if (piece_bytes == 0) piece_resume = *resume_next;
    piece_bytes += unit_bytes;
    movable = movable && unit_movable;
    note_error_handling(i, unit_end);
    i = unit_end;
  }
  flush(end);
}

std::vector<std::vector<std::string>> ModuleBuilder::Impl::HoistFromLargeBlocks(
    const std::string& prefix) {
  Hoisted hoisted;
  bool resume_next = false;
  size_t start = 0;
  while (start < body_.size()) {
    size_t end = start + 1;
    size_t block_bytes = BytesOf(body_[start]);
    while (end < body_.size() && body_[end].depth > 0) block_bytes += BytesOf(body_[end++]);
    BodyItem& opener = body_[start];
    const bool large = block_bytes > kProcedureBytes && !opener.bound_here;
    if (opener.on_error_resume) resume_next = true;
    if (opener.on_error_off) resume_next = false;
    hoisted.body.push_back(std::move(opener));
    if (large) {
      HoistFromBlock(start + 1, end, 1, &resume_next, prefix, &hoisted);
    } else {
      for (size_t i = start + 1; i < end; ++i) hoisted.body.push_back(std::move(body_[i]));
    }
    start = end;
  }
  body_ = std::move(hoisted.body);
  return std::move(hoisted.procedures);
}

void ModuleBuilder::Impl::EndOfPage() {
  // Told where it opened, which may be an include file; closed so that the module compiles.
  if (procedure_) {
    if (observer_ != nullptr) {
      observer_->Found(RulesFinding::kProcedureNotClosed, procedure_->file, procedure_->line,
                       procedure_->name);
    }
    procedure_->lines.push_back(procedure_->end);
    EndProcedure();
  }
  if (class_) {
    if (observer_ != nullptr) {
      observer_->Found(RulesFinding::kProcedureNotClosed, class_->file, class_->line, class_->name);
    }
    if (class_->in_procedure) class_->procedures.push_back(class_->open_end);
    EndClass();
  }
}

PageModule ModuleBuilder::Impl::Finish() {
  PageModule module;
  module.uses_regexp = uses_regexp_;
  auto taken = [&](const std::string& lower) {
    return procedure_names_.count(lower) != 0 || declared_.count(lower) != 0 ||
           assigned_set_.count(lower) != 0 || class_index_.count(lower) != 0;
  };
  // A procedure or variable of the page named by a word Visual Basic keeps for itself, or by
  // a member of the class module, gets "_page" after its name wherever the page names it.
  std::unordered_map<std::string, std::string> renamed;
  std::unordered_set<std::string> new_names;
  auto rename = [&](std::string_view name) {
    const std::string lower = AsciiLower(name);
    // "Error" stays: On Error names it too.
    if ((!IsReservedWord(lower) && !IsModuleMemberName(lower)) || lower == "error") return;
    if (renamed.count(lower) != 0) return;
    std::string to = std::string(name) + "_page";
    while (taken(AsciiLower(to)) || new_names.count(AsciiLower(to)) != 0) to += "_page";
    new_names.insert(AsciiLower(to));
    renamed.emplace(lower, std::move(to));
  };
  for (const Procedure& procedure : procedures_) rename(procedure.name);
  for (const std::string& name : declared_) rename(name);
  if (!renamed.empty()) {
    for (std::string& line : declarations_) RenameWords(renamed, &line);
    for (Procedure& procedure : procedures_) {
      for (std::string& line : procedure.lines) RenameWords(renamed, &line);
    }
    for (BodyItem& item : body_) {
      for (std::string& line : item.lines) RenameWords(renamed, &line);
    }
  }
  // The page method is named as the class; a procedure, variable or class of the page by
  // that name gives the class a name of its own.
  while (taken(AsciiLower(class_name_)) || new_names.count(AsciiLower(class_name_)) != 0) {
    class_name_ += "_page";
  }
  module.class_name = class_name_;
  std::vector<std::string>& out = module.lines;
  LineList sink{&out};
  translator::WriteHeaderBlock(sink, class_name_);
  out.insert(out.end(), declarations_.begin(), declarations_.end());
  // A variable the page gives a value without declaring it is the page's, shared by its
  // procedures and by every part of the page method.
  for (const std::string& name : assigned_) {
    std::string bare = name.substr(0, name.find('('));
    if (declared_.count(bare) != 0 || procedure_names_.count(bare) != 0) continue;
    out.push_back("Dim " + name);
  }
  if (!jscript_.empty()) out.push_back("Dim " + std::string(kJScriptControl) + " As Object");
  for (const Procedure& procedure : procedures_) {
    out.insert(out.end(), procedure.lines.begin(), procedure.lines.end());
  }
  if (!jscript_.empty()) {
    std::vector<std::string> host = JScriptHost(jscript_);
    out.insert(out.end(), host.begin(), host.end());
  }
  translator::WriteStandardMethods(sink);
  translator::WritePageMethodOpening(sink, class_name_);

  std::string block_prefix = class_name_ + "_Block";
  while (procedure_names_.count(AsciiLower(block_prefix) + "1") != 0) block_prefix += "_";
  std::vector<std::vector<std::string>> blocks = HoistFromLargeBlocks(block_prefix);

  // Parts: cut where no block is open, once a part holds kPartBytes.
  std::vector<std::vector<std::string>> parts(1);
  size_t part_bytes = 0;
  size_t block_bytes = 0;
  bool resume_next = false;
  // Each top-level statement's bytes with the block it opens, so that a part is cut before a
  // block that would take it past a procedure's size.
  std::vector<size_t> ahead(body_.size(), 0);
  for (size_t i = body_.size(), bytes = 0; i-- > 0;) {
    bytes += BytesOf(body_[i]);
    if (body_[i].depth == 0) {
      ahead[i] = bytes;
      bytes = 0;
    }
  }
  for (size_t i = 0; i < body_.size(); ++i) {
    BodyItem& item = body_[i];
    const size_t bytes = BytesOf(item);
    if (item.depth == 0) {
      if (block_bytes > kProcedureBytes) TellPage(RulesFinding::kBlockTooLarge, class_name_);
      block_bytes = 0;
      if (part_bytes > kPartBytes || (part_bytes > 0 && part_bytes + ahead[i] > kProcedureBytes)) {
        parts.emplace_back();
        part_bytes = 0;
        // Error handling set at the page's top level holds in every later part.
        if (resume_next) parts.back().push_back("On Error Resume Next");
      }
      if (item.on_error_resume) resume_next = true;
      if (item.on_error_off) resume_next = false;
    }
    block_bytes += bytes;
    part_bytes += bytes;
    for (std::string& line : item.lines) parts.back().push_back(std::move(line));
  }
  if (block_bytes > kProcedureBytes) TellPage(RulesFinding::kBlockTooLarge, class_name_);
  if (parts.size() == 1) {
    out.insert(out.end(), parts[0].begin(), parts[0].end());
    out.push_back("End Sub");
  } else {
    std::string prefix = class_name_ + "_Part";
    while (procedure_names_.count(AsciiLower(prefix) + "1") != 0) prefix += "_";
    for (size_t i = 0; i < parts.size(); ++i) out.push_back(prefix + std::to_string(i + 1));
    out.push_back("End Sub");
    for (size_t i = 0; i < parts.size(); ++i) {
      out.push_back("Private Sub " + prefix + std::to_string(i + 1) + "()");
      out.insert(out.end(), parts[i].begin(), parts[i].end());
      out.push_back("End Sub");
    }
  }
  for (size_t i = 0; i < blocks.size(); ++i) {
    out.push_back("Private Sub " + block_prefix + std::to_string(i + 1) + "()");
    out.insert(out.end(), blocks[i].begin(), blocks[i].end());
    out.push_back("End Sub");
  }
  module.classes = std::move(classes_);
  return module;
}

ModuleBuilder::ModuleBuilder(std::string class_name, std::string site_root, IncludeSource& includes,
                             RulesObserver* observer, bool pass_over_missing_includes)
    : impl_(std::make_unique<Impl>(std::move(class_name), std::move(site_root), includes, observer,
                                   pass_over_missing_includes)) {}

ModuleBuilder::~ModuleBuilder() = default;

void ModuleBuilder::KeepIncludesUnder(std::string folder) {
  impl_->KeepIncludesUnder(std::move(folder));
}

bool ModuleBuilder::AddPage(const std::string& path, std::string_view text) {
  bool whole = impl_->AddFile(path, text);
  if (whole) impl_->EndOfPage();
  return whole;
}

const std::string& ModuleBuilder::missing_include() const { return impl_->missing_include; }

PageModule ModuleBuilder::Finish() { return impl_->Finish(); }

}  // namespace vorlintex::compilable
