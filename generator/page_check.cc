#include "generator/page_check.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <utility>

#include "contract/ascii.h"
#include "contract/output_file.h"
#include "generator/check_teller.h"
#include "generator/compilable_check.h"
#include "generator/run_names.h"
#include "translator/translate_page.h"
#include "translator/translation_observer.h"

namespace vorlintex::generator {
namespace {

using check::CheckCompilablePage;
using check::CheckedClass;
using check::FileFinding;
using check::kBuildScriptName;
using check::kDllName;
using check::kMissingInclude;
using check::kPageName;
using check::kUnreadablePage;
using check::MissingIncludeMessage;
using check::Teller;
using check::ToldInclude;
using translator::LineAt;
using translator::Loss;

// The losses first, by translator::Loss in its order; then the kinds the check finds itself.
const std::vector<FindingKind> kKinds = {
    {"text-before-code", "text before \"<%\" on a code line is dropped",
     "move the text before \"<%\" to a line of its own"},
    {"sub-word",
     "\"sub \" where no Sub starts: the line is missing from the page, and the procedures "
     "section gets it and the lines up to the next \"end sub\"",
     "reword the line so that no \"sub \" stands outside a Sub statement (\"the submenu\", "
     "\"HasHigherSubs = False\")"},
    {"sub-body-in-page-method",
     "the Sub's body and its \"End Sub\" also land in the page method, which that \"End Sub\" "
     "ends early: Visual Basic will not compile the class",
     "start the Sub on the line that opens its code block (\"<% Sub A()\"), not inside a block "
     "opened on an earlier line"},
    {"include-cut-by-sub",
     "after a Sub in this include file, this line and every later line of the file are missing "
     "from the page",
     "put the include file's Subs after all its other lines, or in an include file of their own"},
    {"procedure-in-page-method",
     "a Function or Property lands inside the page method: Visual Basic will not compile it",
     "rewrite the Function or Property as a Sub: only Subs are moved out of the page method"},
    {"class-block",
     "a Class block lands inside the page method: Visual Basic has no classes inside a class "
     "module",
     "rewrite the Class as Subs and variables of the page"},
    {"duplicate-procedure",
     "a Sub is copied into the class a second time: Visual Basic will not compile the duplicate "
     "definition",
     "keep one definition of each Sub: name each include file once, and do not repeat a Sub in "
     "a server-side script block"},
    {"script-block-as-text",
     "a server-side script block is sent to the browser as text, from this line to its "
     "\"</script>\"",
     "move the code of the server-side script block into a \"<% ... %>\" block"},
    {"script-not-vbscript",
     "a script block in another language than VBScript is copied into a Visual Basic class",
     "rewrite the block in VBScript, or leave the page out of the conversion"},
    {"expression-cut-short", "a \"%\" inside \"<%= ... %>\" ends the expression early",
     "keep \"%\" out of \"<%= ... %>\": compute the value in a \"<% ... %>\" block and write "
     "the variable"},
    {"caret-becomes-quote",
     "a \"^\" in the text of a line with an expression becomes a double quote",
     "write the \"^\" as \"&#94;\", or move the expression to a line of its own"},
    {"unfinished-expression",
     "\"<%=\" with no \"%\" after it: the line is copied unchanged, unquoted",
     "close the expression with \"%>\" on the same line"},
    {"directive-as-text", "the \"<%@ ... %>\" directive is sent to the browser as text",
     "remove the \"<%@ ... %>\" line: the class needs no directive"},
    {"nested-include",
     "an include directive inside an include file is not followed: it is sent as text",
     "name the nested include file in the page itself, and remove its directive from the "
     "include file"},
    {"virtual-include", "a virtual include is looked for in the source folder",
     "write #include file=\"...\" with the path from the source folder"},
    {"text-on-include-line", "text beside the include directive on this line is lost",
     "put the include directive on a line of its own"},
    {"code-never-closed", "\"<%\" is never closed: the rest of the file is taken as code",
     "close the code block with \"%>\""},
    {"not-ascii",
     "bytes outside ASCII (or a byte order mark): Visual Basic 6 reads class files in the "
     "system's ANSI code page",
     "save the page in the site's ANSI code page without a byte order mark, or write such "
     "characters as HTML entities (\"&eacute;\")"},
    {"unbalanced-quotes",
     "a written statement whose quotes do not pair up: Visual Basic will not compile it",
     "pair the quotes of the statement; a quote inside a string is written twice"},
    {"missing-include", "the include file does not exist: a run stops at this page",
     "add the include file to the source folder, or correct the file name in the directive"},
    {"unreadable-page", "the page cannot be read",
     "make the page readable by the user who runs vorlintex"},
    {"page-name",
     "the page's class name is not a Visual Basic identifier: the class cannot be named",
     "rename the page to letters, digits and \"_\", starting with a letter"},
    {"dll-name", "the DLL name is not a Visual Basic identifier",
     "choose a DLL name of letters, digits and \"_\", starting with a letter"},
    {"build-script-name",
     "the target folder or DLL name holds a space or one of & | < > ^, which breaks the one-line "
     "build script",
     "choose a target folder and a DLL name without spaces and without & | < > ^"},
    // The compilable rules' findings, by compilable::RulesFinding in its order (their missing
    // include is the one above).
    {"no-equivalent",
     "Eval, Execute, ExecuteGlobal or GetRef: Visual Basic 6 has no equivalent; the statement is "
     "kept as written, and will not compile",
     "rewrite the code without it: call the procedure by name rather than through GetRef or "
     "Execute, and compute the value rather than Eval it"},
    {"foreign-script",
     "a server script block in another language than VBScript is kept as written, and will not "
     "compile",
     "rewrite the block in VBScript, or leave the page out of the conversion"},
    {"encoded-script", "an encoded script (#@~^) is kept as written, and will not compile",
     "convert the page from the script's source as it was before it was encoded"},
    {"include-cycle",
     "an include file includes itself, directly or through others: it is not read again",
     "remove the directive that includes the file again"},
    {"include-outside",
     "the include file lies outside the source folder and the site root: it is not read",
     "give --site-root the folder virtual paths start from, or take as the source folder one "
     "that holds the include files"},
    {"procedure-redefined",
     "a second, different definition of a procedure is not written: the class keeps the first",
     "keep one definition of each procedure, or give the two definitions different names"},
    {"class-redefined",
     "a second, different definition of a class is not written: the project keeps the first",
     "keep one definition of each class across the site's pages, or give the two different "
     "names"},
    {"procedure-not-closed",
     "a procedure or class is never closed: it is closed at the end of the page, and holds the "
     "rest of the page",
     "close it where it ends, with End Sub, End Function, End Property or End Class"},
    {"progid-too-long",
     "the DLL and class names make a ProgID longer than COM's 39 characters: the class cannot be "
     "registered",
     "choose a shorter DLL name, or give the page a shorter name"},
    {"block-too-large",
     "a block of the page (an If, For, Do, While, Select or With with all it holds) is larger "
     "than a procedure may be: it cannot be cut into parts, and will not compile",
     "move parts of the block into Subs of the page, called from inside it"},
};

// The class module the check translates into: each line goes to the module checker, none to
// a file.
class CheckedModule : public fs::TextStream {
 public:
  explicit CheckedModule(modulecheck::ModuleChecker* checker) : checker_(checker) {}
  bool AtEndOfStream() override { return true; }
  Status ReadLine(std::string* line) override {
    line->clear();
    return Status::NotSupported("class module", "written only");
  }
  Status WriteLine(std::string_view text) override {
    checker_->Line(text);
    return Status::OK();
  }
  Status Close() override { return Status::OK(); }
  Status Abandon() override { return Status::OK(); }

 private:
  modulecheck::ModuleChecker* checker_;
};

// Turns what the translation of one page tells into findings, in the page's line order with
// each include file's lines at its directive.
class PageObserver : public translator::TranslationObserver {
 public:
  PageObserver(Env& env, Teller& teller, std::map<std::string, ToldInclude>& told_includes,
               bool keep_going, PageRecord& page)
      : env_(env), teller_(teller), told_(told_includes), keep_going_(keep_going), page_(page) {}

  // The passes before the body pass tell only these kinds, of the page's own lines: they are
  // held and told in line order among the body pass's.
  void Noted(Loss loss, LineAt at, std::string_view source, std::string_view written) override {
    const size_t kind = static_cast<size_t>(loss);
    if (loss == Loss::kDuplicateProcedure || loss == Loss::kScriptNotVbscript) {
      held_.push_back(Held{at.number, kind, std::string(kKinds[kind].what), std::string(source),
                           std::string(written)});
      return;
    }
    if (include_ == nullptr) TellHeldUpTo(at.number);
    Tell(at.number, kind, kKinds[kind].what, source, written);
  }

  void IncludeMissing(LineAt at, std::string_view source, std::string_view path) override {
    held_.push_back(
        Held{at.number, kMissingInclude,
             MissingIncludeMessage(env_.DisplayPathAsOnDisk(ResolveDotParts(path)), keep_going_),
             std::string(source), ""});
    missing_include_ = true;
  }

  void IncludeBegins(LineAt directive, std::string_view path) override {
    TellHeldUpTo(directive.number);
    include_file_ = env_.DisplayPathAsOnDisk(ResolveDotParts(path));
    include_line_ = directive.number;
    auto [it, first] = told_.try_emplace(include_file_, ToldInclude{page_.file, 0});
    include_ = &it->second;
    include_told_before_ = !first;
  }

  void IncludeEnds() override {
    if (include_->findings > 0) {
      page_.includes.push_back(IncludeRecord{include_line_, include_file_, include_->findings,
                                             include_->page, !include_told_before_});
      if (include_told_before_) teller_.IncludeNamed(page_.includes.back());
    }
    include_ = nullptr;
  }

  // The page is read: what is still held is told. True when an include file was missing.
  bool Finish() {
    TellHeldUpTo(INT_MAX);
    return missing_include_;
  }

 private:
  struct Held {
    int line;
    size_t kind;
    std::string message;
    std::string source;
    std::string written;
  };

  void TellHeldUpTo(int line) {
    if (held_.empty()) return;
    std::stable_sort(held_.begin(), held_.end(),
                     [](const Held& a, const Held& b) { return a.line < b.line; });
    size_t told = 0;
    for (; told < held_.size() && held_[told].line <= line; ++told) {
      const Held& h = held_[told];
      Tell(h.line, h.kind, h.message, h.source, h.written);
    }
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(told));
  }

  void Tell(int line, size_t kind, std::string_view message, std::string_view source,
            std::string_view written) {
    Finding finding{page_.file, line, kind, message, source, written, {}, 0};
    if (include_ != nullptr) {
      if (include_told_before_) return;  // told with the page that read it first
      ++include_->findings;
      finding.file = include_file_;
      finding.included_from = page_.file;
      finding.included_from_line = include_line_;
    }
    ++page_.findings;
    teller_.Tell(finding);
  }

  Env& env_;
  Teller& teller_;
  std::map<std::string, ToldInclude>& told_;
  const bool keep_going_;
  PageRecord& page_;
  std::vector<Held> held_;
  bool missing_include_ = false;
  // The include file being read, while one is.
  ToldInclude* include_ = nullptr;
  bool include_told_before_ = false;
  std::string include_file_;
  int include_line_ = 0;
};

bool IsIdentifier(std::string_view name) {
  if (name.empty()) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

bool BreaksBuildScript(std::string_view text) {
  return text.find_first_of(" &|<>^") != std::string_view::npos;
}

}  // namespace

const std::vector<FindingKind>& FindingKinds() { return kKinds; }

std::string_view VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::kCompiles:
      return "compiles";
    case Verdict::kWillNotCompile:
      return "will-not-compile";
    case Verdict::kStopsTheRun:
      return "stops-the-run";
    case Verdict::kCannotBeRead:
      return "cannot-be-read";
    case Verdict::kLeftOut:
      return "left-out";
  }
  return "";
}

CheckTotals CheckPages(const RunInput& input, Env& env,
                       const std::vector<CheckReporter*>& reporters, const CheckRules& rules) {
  const bool compilable = rules.rules == RuleSet::kCompilable;
  CheckTotals totals;
  Teller teller(reporters, &totals);
  const std::string dll_name = DllName(input.dll_name);
  if (!IsIdentifier(dll_name)) teller.Tell(FileFinding("", kDllName, dll_name));
  if (BreaksBuildScript(input.target_dir) || BreaksBuildScript(dll_name)) {
    const std::string script = input.target_dir + "\\" + dll_name + ".vbp";
    teller.Tell(FileFinding("", kBuildScriptName, script));
  }

  std::unique_ptr<fs::TextFileService> files;
  if (Status made = env.NewFileService(&files); !made.ok() || files == nullptr) {
    const std::string folder = env.DisplayPathAsOnDisk(input.source_dir);
    teller.Tell(FileFinding(folder, kUnreadablePage, made.Message()));
    teller.CheckEnds();
    return totals;
  }
  FailureLog failures;
  std::map<std::string, ToldInclude> told_includes;  // by the include file, shown
  std::map<std::string, CheckedClass> classes;       // with the compilable rules
  translator::IncludeCache include_cache;            // as a run reads them
  for (const std::string& selected : input.pages) {
    const PagePlace place = PlaceOf(input.source_dir, input.target_dir, selected);
    const std::string& base_name = place.base_name;
    const std::string& source_path = place.source_path;
    PageRecord page;
    page.file = env.DisplayPathAsOnDisk(source_path);
    page.class_module = base_name + ".cls";
    teller.PageBegins(page.file);
    auto tell_of_page = [&](size_t kind, std::string_view source) {
      teller.Tell(FileFinding(page.file, kind, source));
      ++page.findings;
    };
    // The compilable rules give every page a class name that compiles.
    if (!compilable && !IsIdentifier(base_name)) tell_of_page(kPageName, base_name);
    std::unique_ptr<fs::TextStream> text;
    if (Status opened = files->OpenTextFile(source_path, &text); !opened.ok()) {
      tell_of_page(kUnreadablePage, opened.reason());
      page.verdict = Verdict::kCannotBeRead;
      teller.PageEnds(page);
      continue;
    }
    if (compilable) {
      CheckCompilablePage(input, rules, place, env, files.get(), std::move(text), teller,
                          told_includes, classes, page);
      teller.PageEnds(page);
      continue;
    }
    PageObserver observer(env, teller, told_includes, input.keep_going, page);
    translator::PageTranslation translation;
    translation.source_dir = place.source_dir;
    translation.source_path = source_path;
    translation.base_name = base_name;
    translation.files = files.get();
    translation.env = &env;
    translation.include_cache = &include_cache;
    translation.failures = &failures;
    translation.observer = &observer;
    translation.pass_over_missing_includes = true;
    translation.page = std::move(text);
    modulecheck::ModuleChecker checker(modulecheck::ModuleContext{});
    OutputFile class_module(base_name + ".cls", std::make_unique<CheckedModule>(&checker), nullptr);
    translation.class_module = &class_module;
    translator::TranslatePage(translation);
    const bool missing_include = observer.Finish();
    page.module = checker.Finish();
    if (missing_include) {
      page.verdict = input.keep_going ? Verdict::kLeftOut : Verdict::kStopsTheRun;
    } else if (!page.module.compiles) {
      page.verdict = Verdict::kWillNotCompile;
    }
    teller.PageEnds(page);
  }
  teller.CheckEnds();
  return totals;
}

}  // namespace vorlintex::generator
