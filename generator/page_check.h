// A dry run: the selected pages read and translated exactly as the generation run would,
// nothing written, and every line the translation loses or leaves uncompilable reported as a
// finding, with the names of the run that break the project or its build script, and for each
// page whether Visual Basic will compile its class module.
//
// The check tells a reporter as it goes (the core tells, a reporter renders): each finding as
// soon as its line is done, each page once it ends. It keeps no finding after telling it, so its
// memory grows with the kinds, the include files and the directives of a page, not with the
// findings. An include file's findings are told once for the run, with the first page that
// reads it; every page that includes it names it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "contract/env.h"
#include "generator/generation_run.h"
#include "generator/services.h"
#include "modulecheck/module_checker.h"

namespace vorlintex::generator {

// One kind of finding, as reports list it.
struct FindingKind {
  std::string_view kind;    // a short name, such as "text-before-code"
  std::string_view what;    // what happens to such a line, in a sentence
  std::string_view advice;  // what to change in the page, in a sentence
};

// Every kind, in the order reports list them.
const std::vector<FindingKind>& FindingKinds();

// A finding as told; its views hold only during the call that tells it. Paths are shown as the
// system spells them (Env::DisplayPathAsOnDisk).
struct Finding {
  std::string_view file;     // the page or include file; empty for the run's names
  int line = 0;              // 1-based; 1 for a finding on a whole file, 0 for the run's names
  size_t kind = 0;           // index into FindingKinds()
  std::string_view message;  // what happens to the line, in a sentence
  std::string_view source;   // the line as read
  std::string_view written;  // what the class module holds for it, lines joined by "\n"
  // For a line of an include file: the page and line of its directive; empty and 0 otherwise.
  std::string_view included_from;
  int included_from_line = 0;
};

enum class Verdict : unsigned char {
  kCompiles,        // the class module compiles, as far as the module checker can tell
  kWillNotCompile,  // the module checker found reasons
  kStopsTheRun,     // an include file is missing: a conversion ends at this page
  kCannotBeRead,    // the page cannot be opened: a conversion gives it no files
  kLeftOut,         // an include file is missing: a run that keeps going leaves the page out
};
inline constexpr size_t kVerdicts = 5;

// "compiles", "will-not-compile", "stops-the-run", "cannot-be-read", "left-out". Reports name
// "left-out" only when some page is, as only a check told to keep going has such pages.
std::string_view VerdictName(Verdict verdict);

// An include directive of a page whose file has findings.
struct IncludeRecord {
  int line = 0;            // the directive's line in the page
  std::string file;        // the include file, shown
  size_t findings = 0;     // told for it in the whole run
  std::string told_with;   // the page its findings were told with (this one or an earlier)
  bool told_here = false;  // they were told at this directive, as read by it
};

// A page once checked.
struct PageRecord {
  std::string file;          // shown
  std::string class_module;  // the name of its class module file, "orders.cls"
  size_t findings = 0;       // told with it: its own lines and those of includes read first
  std::vector<IncludeRecord> includes;  // in the order of the page's directives
  Verdict verdict = Verdict::kCompiles;
  // The module checker's, of the page's class module; with the compilable rules, of the first
  // of its VBScript classes' modules that will not compile when the page's own does. Empty
  // when not read.
  modulecheck::ModuleVerdict module;
  // The page holds findings of its own or includes a file that has some.
  bool HasFindings() const { return findings > 0 || !includes.empty(); }
};

struct CheckTotals {
  size_t pages_read = 0;
  size_t pages_with_findings = 0;
  size_t findings = 0;                       // every finding told
  std::vector<size_t> counts;                // by FindingKinds() index
  std::array<size_t, kVerdicts> verdicts{};  // pages by Verdict
  bool missing_include = false;
};

// What renders a check. Calls come in this order: Found for the run's names; then for each page
// PageBegins, Found for its findings (its lines in order, an include file's where its
// directive is) and IncludeNamed, PageEnds; then CheckEnds once. A reporter that writes somewhere
// keeps its own failures: these calls return nothing.
class CheckReporter {
 public:
  virtual ~CheckReporter() = default;
  virtual void PageBegins(std::string_view file) = 0;
  virtual void Found(const Finding& finding) = 0;
  // A directive of the page being checked names an include file whose findings were told with
  // an earlier page or directive; told where the directive is among the page's findings.
  virtual void IncludeNamed(const IncludeRecord& include) = 0;
  virtual void PageEnds(const PageRecord& page) = 0;
  virtual void CheckEnds(const CheckTotals& totals) = 0;
};

// The rules the pages are read by, as a conversion would be given them.
struct CheckRules {
  RuleSet rules = RuleSet::kClassic;
  std::string site_root;  // with the compilable rules; empty for the source folder
  // False when the DLL name was not given: a ProgID is then measured with a name of one letter,
  // so that only a class name too long for any DLL is told.
  bool dll_named = true;
};

// Checks the pages of `input` against the files of `env`, telling each reporter in turn. A page
// that cannot be read is a finding of its own; the check goes on with the next page, also after
// a missing include (a page that lacks one stops the run, or with input.keep_going is left
// out).
CheckTotals CheckPages(const RunInput& input, Env& env,
                       const std::vector<CheckReporter*>& reporters, const CheckRules& rules = {});

}  // namespace vorlintex::generator
