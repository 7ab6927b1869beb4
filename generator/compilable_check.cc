#include "generator/compilable_check.h"

#include <map>
#include <memory>
#include <utility>

#include "compilable/identifiers.h"
#include "compilable/translate_compilable.h"
#include "contract/ascii.h"
#include "generator/run_names.h"

namespace vorlintex::generator::check {
namespace {

using compilable::RulesFinding;

// The lines of the files a page's findings are on, read again when a finding needs its line:
// the rules read each file whole and keep none of its lines.
class SourceLines {
 public:
  explicit SourceLines(fs::TextFileService* files) : files_(files) {}
  std::string_view Line(const std::string& path, int line) {
    auto [it, first] = texts_.try_emplace(AsciiLower(path));
    if (first) Read(path, &it->second);
    const std::vector<std::string>& lines = it->second;
    if (line < 1 || static_cast<size_t>(line) > lines.size()) return {};
    return lines[line - 1];
  }

 private:
  void Read(const std::string& path, std::vector<std::string>* lines) {
    std::unique_ptr<fs::TextStream> stream;
    if (!files_->OpenTextFile(path, &stream).ok() || stream == nullptr) return;
    std::string line;
    while (!stream->AtEndOfStream() && stream->ReadLine(&line).ok()) lines->push_back(line);
    (void)stream->Close();
  }

  fs::TextFileService* files_;
  std::map<std::string, std::vector<std::string>> texts_;  // by lower-case path
};

// Turns what the compilable rules tell of one page into findings, as they read it: an include
// file's at its directive, and once for the run.
class RulesPageObserver : public compilable::RulesObserver {
 public:
  RulesPageObserver(Env& env, Teller& teller, std::map<std::string, ToldInclude>& told_includes,
                    SourceLines& lines, const std::string& source_path, bool keep_going,
                    PageRecord& page)
      : env_(env),
        teller_(teller),
        told_(told_includes),
        lines_(lines),
        source_path_(source_path),
        keep_going_(keep_going),
        page_(page) {}

  void Found(RulesFinding finding, std::string_view file, int line,
             std::string_view detail) override {
    if (finding == RulesFinding::kMissingInclude) missing_include_ = true;
    const size_t kind = KindOf(finding);
    const std::string path(file);
    Finding told{page_.file, line, kind, {}, {}, "", {}, 0};
    std::string shown;
    if (!AsciiEqualIgnoringCase(path, source_path_) && !path.empty()) {
      if (Frame* frame = FrameOf(path); frame != nullptr) {
        if (frame->told_before) return;  // told with the page that read it first
        ++frame->told->findings;
        told.file = frame->file;
        told.included_from_line = frames_.front().line;
      } else {
        // Told once the include file is read (a procedure it opened and the page closed).
        shown = Shown(path);
        auto known = told_.find(shown);
        if (known != told_.end() && known->second.page != page_.file) return;
        if (known != told_.end()) ++known->second.findings;
        told.file = shown;
        told.included_from_line = directive_of_[AsciiLower(path)];
      }
      told.included_from = page_.file;
    }
    const std::string message = Message(finding, detail);
    told.message = message;
    if (finding != RulesFinding::kBlockTooLarge) {
      told.source = lines_.Line(path.empty() ? source_path_ : path, line);
    }
    ++page_.findings;
    teller_.Tell(told);
  }

  void IncludeBegins(std::string_view, int line, std::string_view path) override {
    Frame frame;
    frame.path = AsciiLower(path);
    frame.file = env_.DisplayPathAsOnDisk(ResolveDotParts(path));
    frame.line = frames_.empty() ? line : frames_.front().line;
    directive_of_.try_emplace(frame.path, frame.line);
    auto [it, first] = told_.try_emplace(frame.file, ToldInclude{page_.file, 0});
    frame.told = &it->second;
    frame.told_before = !first;
    frames_.push_back(std::move(frame));
  }

  void IncludeEnds() override {
    Frame frame = std::move(frames_.back());
    frames_.pop_back();
    if (frame.told->findings == 0) return;
    page_.includes.push_back(IncludeRecord{frame.line, frame.file, frame.told->findings,
                                           frame.told->page, !frame.told_before});
    if (frame.told_before) teller_.IncludeNamed(page_.includes.back());
  }

  bool missing_include() const { return missing_include_; }

 private:
  struct Frame {
    std::string path;  // lower case, as the rules build it
    std::string file;  // shown
    int line = 0;      // of the page's directive that led here
    ToldInclude* told = nullptr;
    bool told_before = false;
  };

  // The include file being read at `path`; null when it is no longer read (a procedure it
  // left open is told at the page's end).
  Frame* FrameOf(const std::string& path) {
    const std::string lower = AsciiLower(path);
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
      if (it->path == lower) return &*it;
    }
    return nullptr;
  }

  std::string Shown(std::string_view path) const {
    return env_.DisplayPathAsOnDisk(ResolveDotParts(path));
  }

  std::string Message(RulesFinding finding, std::string_view detail) const {
    const std::string d(detail);
    switch (finding) {
      case RulesFinding::kNoEquivalent:
        return "Visual Basic 6 has no " + d +
               ": the statement is kept as written, and will not compile";
      case RulesFinding::kForeignScript:
        return "a server script block in " + d + " is kept as written, and will not compile";
      case RulesFinding::kIncludeCycle:
        return "the include file " + Shown(d) +
               " includes itself, directly or through others: it is not read again";
      case RulesFinding::kMissingInclude:
        return MissingIncludeMessage(Shown(d), keep_going_);
      case RulesFinding::kIncludeOutside:
        return "the include file " + Shown(d) +
               " lies outside the source folder and the site root: it is not read";
      case RulesFinding::kProcedureRedefined:
        return "a second, different definition of " + d +
               " is not written: the class keeps the first";
      case RulesFinding::kClassRedefined:
        return "a second, different definition of the class " + d +
               " is not written: the project keeps the first";
      case RulesFinding::kProcedureNotClosed:
        return d +
               " is never closed: it is closed at the end of the page, and holds the rest of "
               "the page";
      default:
        return std::string(FindingKinds()[KindOf(finding)].what);
    }
  }

  Env& env_;
  Teller& teller_;
  std::map<std::string, ToldInclude>& told_;
  SourceLines& lines_;
  const std::string& source_path_;
  const bool keep_going_;
  PageRecord& page_;
  std::vector<Frame> frames_;  // the include files being read, the page's directive first
  // Each include file read, by lower-case path: the line of the page's directive that first
  // led to it.
  std::map<std::string, int> directive_of_;
  bool missing_include_ = false;
};

// COM's longest ProgID.
constexpr size_t kProgIdLimit = 39;

// The module checker's verdict on a module given whole.
modulecheck::ModuleVerdict CheckModule(const std::vector<std::string>& lines) {
  modulecheck::ModuleChecker checker(modulecheck::ModuleContext{true});
  for (const std::string& line : lines) checker.Line(line);
  return checker.Finish();
}

}  // namespace

void CheckCompilablePage(const RunInput& input, const CheckRules& rules, const PagePlace& place,
                         Env& env, fs::TextFileService* files, std::unique_ptr<fs::TextStream> text,
                         Teller& teller, std::map<std::string, ToldInclude>& told_includes,
                         std::map<std::string, CheckedClass>& classes, PageRecord& page) {
  SourceLines lines(files);
  RulesPageObserver observer(env, teller, told_includes, lines, place.source_path, input.keep_going,
                             page);
  FailureLog failures;
  compilable::CompilablePage translation;
  translation.source_path = place.source_path;
  translation.site_root = rules.site_root.empty() ? input.source_dir : rules.site_root;
  if (input.subfolders) translation.include_root = input.source_dir;
  translation.class_name = compilable::ClassNameFor(place.base_name);
  translation.files = files;
  translation.page = std::move(text);
  translation.failures = &failures;
  translation.observer = &observer;
  translation.pass_over_missing_includes = true;
  compilable::CompilableResult translated = compilable::TranslateCompilable(translation);
  page.class_module = translated.class_name + ".cls";

  const std::string prog_id =
      (rules.dll_named ? DllName(input.dll_name) : std::string("D")) + "." + translated.class_name;
  if (prog_id.size() > kProgIdLimit) {
    const std::string message = "the ProgID " + prog_id + " is " + std::to_string(prog_id.size()) +
                                " characters long, over COM's 39: the class cannot be registered";
    teller.Tell(
        Finding{page.file, 1, KindOf(RulesFinding::kProgIdTooLong), message, prog_id, "", {}, 0});
    ++page.findings;
  }
  // One class of a name: its first definition is the project's, later different ones are not
  // written.
  page.module = CheckModule(translated.module_lines);
  for (const compilable::ClassModuleText& module : translated.classes) {
    auto [at, first] = classes.try_emplace(AsciiLower(module.name));
    if (first) {
      at->second.lines = module.lines;
      at->second.verdict = CheckModule(module.lines);
    } else if (at->second.lines != module.lines) {
      const std::string message = "a second, different definition of the class " + module.name +
                                  " is not written: the project keeps the first";
      teller.Tell(Finding{
          page.file, 1, KindOf(RulesFinding::kClassRedefined), message, module.name, "", {}, 0});
      ++page.findings;
    }
    if (page.module.compiles && !at->second.verdict.compiles) {
      page.module = at->second.verdict;
      page.class_module = module.name + ".cls";
    }
  }
  if (observer.missing_include()) {
    page.verdict = input.keep_going ? Verdict::kLeftOut : Verdict::kStopsTheRun;
  } else if (!page.module.compiles) {
    page.verdict = Verdict::kWillNotCompile;
  }
}

}  // namespace vorlintex::generator::check
