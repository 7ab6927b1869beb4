#include "generator/generation_run.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "compilable/identifiers.h"
#include "compilable/translate_compilable.h"
#include "contract/ascii.h"
#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "generator/build_script.h"
#include "generator/page_finisher.h"
#include "generator/project_files.h"
#include "generator/replacement_page.h"
#include "generator/run_names.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "translator/translate_page.h"

namespace vorlintex::generator {

namespace {

// True when both paths name one existing folder, however they are spelled.
bool SameFolder(Env& env, const std::string& source_dir, const std::string& target_dir) {
  std::optional<std::string> source = env.FolderIdentity(source_dir);
  if (!source) return false;
  std::optional<std::string> target = env.FolderIdentity(target_dir);
  return target && *source == *target;
}

constexpr char kNotAPage[] =
    "the name holds a folder part, so it is not a page of the source folder";
constexpr char kNameTaken[] = "another page of that name came first in this run";
constexpr char kClassTaken[] = "another class of that name came first in this run";

class GenerationRun {
 public:
  GenerationRun(const RunInput& input, const Services& services, RunSummary& summary)
      : input_(input), dll_name_(DllName(input.dll_name)), services_(services), summary_(summary) {}

  // The run, and then the count of the class modules that will not compile.
  void Run() {
    RunPages();
    FinishPages();
    finisher_.CountIn(summary_);
  }
  const FailureLog& failures() const { return failures_; }

 private:
  void RunPages();
  // Converts the page selected as `selected`: its class module, replacement page, workspace
  // file and its line in the project, whose files the finisher closes. False when a missing
  // include file ended the run.
  bool ConvertPage(const std::string& selected);
  // ConvertPage up to the page's end, which is left in `end`: its open files, its modules and
  // its failures (end.failures, where everything of the page is recorded).
  bool ConvertPageUntilItsEnd(const std::string& selected, PageFinisher::PageEnd& end);
  // ConvertPage by the compilable rules, from the opened page.
  bool ConvertCompilable(const std::string& selected, std::unique_ptr<fs::TextStream> page,
                         const PagePlace& place, PageFinisher::PageEnd& end);
  // Waits for the pages given to the finisher and counts what they came to; before anything
  // is recorded after them, and before the target folder's turn is let go.
  void FinishPages();
  // Counts a page the finisher finished.
  void CountFinished(PageFinisher::Finished& page);
  // Makes the folders of `folder` under the target that this run has not made yet, for a
  // site run's replacement pages. A folder that cannot be made fails its pages' writes.
  void MakeTargetFolder(const std::string& folder, FailureLog& failures);
  // The page selected as `selected` looked for `include`, which is missing: with keep_going
  // the page is counted as left out and true returned; otherwise the run ends there (false).
  bool MissingInclude(const std::string& selected, std::string include);
  // The replacement page, the project's line and the workspace file of a converted page,
  // whose class module is end.files[0]; the finisher closes all three where the run owns the
  // target folder.
  void FinishPage(const std::string& class_name, PageFinisher::PageEnd& end);
  // A VBScript class of a page as a class module of the project: written once for the run.
  void WriteClassModule(const compilable::ClassModuleText& module, PageFinisher::PageEnd& end);
  // The check of the fields that fails first, in the order the entry page's script makes
  // them; nothing when all pass.
  std::optional<RefusedField> Refusal(Env& env) const;
  // Closes `file` when still open, and counts it as written when it took its name; true then.
  bool Finished(OutputFile& file);
  // Abandons `file`, which the run stopped before finishing, so that its name keeps what it
  // had: a page cut short, or an empty replacement page, would replace a working one.
  void LeaveUnfinished(OutputFile& file);

  const RunInput& input_;
  const std::string dll_name_;
  const Services& services_;
  RunSummary& summary_;

  FailureLog failures_;
  std::unique_ptr<fs::TextFileService> files_;
  std::unique_ptr<OutputFile> project_;
  std::unique_ptr<OutputFile> build_script_;
  // The class names of the pages given outputs so far: a class is one page's.
  std::unordered_set<std::string> class_names_;
  // The VBScript classes written so far, by lower-case name: their text, to tell one class
  // read by many pages from two different classes of one name.
  std::unordered_map<std::string, std::vector<std::string>> vbscript_classes_;
  translator::IncludeCache include_cache_;
  // Closes each page's files and reads its class modules, beside the run.
  PageFinisher finisher_;
  // True while the run holds the target folder's turn among processes: no other run writes
  // there.
  bool target_owned_ = false;
  // The target subfolder of the last page of a site run, made when it was first reached.
  std::string made_folder_;
};

void GenerationRun::RunPages() {
  summary_.dll_name = dll_name_;
  if (services_.env == nullptr) {
    summary_.end = RunEnd::kNoFileService;
    summary_.file_service_failure =
        Status::InvalidArgument("Scripting.FileSystemObject", "no platform");
    return;
  }
  Env& env = *services_.env;
  const std::string compiler_path =
      services_.compiler_path.empty() ? FindCompilerPath(env) : services_.compiler_path;

  // A posted form reaches the run without the entry page's script.
  if (std::optional<RefusedField> refused = Refusal(env)) {
    summary_.end = RunEnd::kRefused;
    summary_.refused = *refused;
    return;
  }

  Status made = env.NewFileService(&files_);
  if (made.ok() && files_ == nullptr) {
    made = Status::IOError("Scripting.FileSystemObject", "no object was made");
  }
  if (!made.ok()) {
    summary_.end = RunEnd::kNoFileService;
    summary_.file_service_failure = std::move(made);
    return;
  }

  // A folder left by an earlier run is used as it is; one that is not there after the create
  // is the first thing the user must hear of.
  if (Status made = files_->CreateFolder(input_.target_dir);
      !made.ok() && !env.FolderIdentity(input_.target_dir)) {
    failures_.Record(Access::kCreateFolder, made.WithPath(input_.target_dir));
  }
  TargetTurns::Turn turn;
  if (services_.turns != nullptr) {
    if (!services_.turns->Take(env, input_.target_dir, input_.wait, &turn).ok()) {
      summary_.end = RunEnd::kTargetBusy;
      return;
    }
    // No other run writes here now, so every file in the making is a killed run's. Without the
    // turn among processes another's could be in the making, and all are left.
    size_t removed = 0;
    if (turn.among_processes())
      env.RemoveFilesInTheMaking(input_.target_dir, &removed).IgnoreError();
    target_owned_ = turn.among_processes();
  }

  summary_.build_script = PathIn(input_.target_dir, dll_name_ + ".bat");
  build_script_ = std::make_unique<OutputFile>(*files_, summary_.build_script, &failures_);
  project_ = std::make_unique<OutputFile>(*files_, PathIn(input_.target_dir, dll_name_ + ".vbp"),
                                          &failures_);
  WriteProjectHeader(*project_, env.WindowsDirectory(), services_.rules == RuleSet::kCompilable);

  for (const std::string& selected : input_.pages) {
    if (!ConvertPage(selected)) {
      FinishPages();
      LeaveUnfinished(*project_);
      LeaveUnfinished(*build_script_);
      return;
    }
  }
  FinishPages();

  WriteProjectTrailer(*project_, dll_name_);
  Finished(*project_);
  WriteBuildScript(*build_script_, compiler_path,
                   services_.build_dir.empty() ? input_.target_dir : services_.build_dir,
                   dll_name_);
  summary_.build_script_written = Finished(*build_script_);
  project_.reset();
  build_script_.reset();
  files_.reset();
}

std::optional<RefusedField> GenerationRun::Refusal(Env& env) const {
  if (input_.source_dir.empty()) return RefusedField::kSourceBlank;
  if (input_.target_dir.empty()) return RefusedField::kTargetBlank;
  // Writing into the source folder would replace each source page while it is being read.
  if (SameFolder(env, input_.source_dir, input_.target_dir)) return RefusedField::kSameFolder;
  if (dll_name_.empty()) return RefusedField::kNameBlank;
  if (!IsPlainFileName(dll_name_)) return RefusedField::kNameHasFolder;
  return std::nullopt;
}

bool GenerationRun::ConvertPage(const std::string& selected) {
  finisher_.TakeFinished([this](PageFinisher::Finished& page) { CountFinished(page); });
  PageFinisher::PageEnd end;
  const bool go_on = ConvertPageUntilItsEnd(selected, end);
  // A page without files still goes, for its failures to be told in the order of the pages.
  finisher_.Finish(std::move(end));
  return go_on;
}

void GenerationRun::FinishPages() {
  finisher_.FinishAll([this](PageFinisher::Finished& page) { CountFinished(page); });
}

void GenerationRun::CountFinished(PageFinisher::Finished& page) {
  summary_.files_written += page.files_written;
  if (page.all_written) ++summary_.pages_converted;
  failures_.Append(*page.failures);
}

bool GenerationRun::ConvertPageUntilItsEnd(const std::string& selected,
                                           PageFinisher::PageEnd& end) {
  FailureLog& failures = *end.failures;
  // A name with a folder part would read, and write, outside the two folders; a site run's
  // paths stay under them.
  if (!IsPlainFileName(selected) && !(input_.subfolders && IsPathUnderFolder(selected))) {
    const std::string source_path = PathIn(input_.source_dir, SourcePageName(selected));
    failures.Record(Access::kRead, Status::InvalidArgument(source_path, kNotAPage));
    return true;
  }
  const PagePlace place = PlaceOf(input_.source_dir, input_.target_dir, selected);
  const std::string& base_name = place.base_name;
  const std::string& source_path = place.source_path;
  const bool compilable = services_.rules == RuleSet::kCompilable;
  // A second page of one class name would replace the first's files. (The compilable rules
  // know the class name once the page is read.)
  const std::string class_path = PathIn(input_.target_dir, base_name + ".cls");
  if (!compilable && class_names_.count(base_name) != 0) {
    failures.Record(Access::kWrite, Status::AlreadyExists(class_path, kNameTaken));
    return true;
  }
  std::unique_ptr<fs::TextStream> page;
  // A page that cannot be opened gets no outputs: a class module of the fixed lines alone
  // would replace a good one of an earlier run.
  if (Status opened = files_->OpenTextFile(source_path, &page); !opened.ok()) {
    failures.Record(Access::kRead, opened.WithPath(source_path));
    return true;
  }
  if (compilable) return ConvertCompilable(selected, std::move(page), place, end);
  class_names_.insert(base_name);
  MakeTargetFolder(place.folder, failures);
  auto class_module = std::make_unique<OutputFile>(*files_, class_path, &failures);
  auto replacement = std::make_unique<OutputFile>(*files_, place.page_path, &failures);
  auto workspace = std::make_unique<OutputFile>(
      *files_, PathIn(input_.target_dir, base_name + ".vbw"), &failures);
  PageFinisher::Module tap = finisher_.NewModule(false);
  class_module->SetTap(&tap);

  translator::PageTranslation translation;
  translation.source_dir = place.source_dir;
  translation.source_path = source_path;
  translation.base_name = base_name;
  translation.files = files_.get();
  translation.env = services_.env;
  translation.include_cache = &include_cache_;
  translation.failures = &failures;
  translation.page = std::move(page);
  translation.class_module = class_module.get();
  // Closed with the page's other files, below or on the finisher.
  translation.leave_class_module_open = true;
  translator::TranslationResult translated = translator::TranslatePage(translation);
  class_module->SetTap(nullptr);
  if (translated.missing_include) {
    const bool go_on = MissingInclude(selected, std::move(*translated.missing_include));
    for (OutputFile* file : {class_module.get(), replacement.get(), workspace.get()}) {
      // A page left out keeps the earlier run's files as a stopped one does; only a stopped
      // run lists them, as the pages left out are listed instead.
      if (go_on) {
        file->Abandon();
      } else {
        LeaveUnfinished(*file);
      }
    }
    return go_on;
  }
  end.files.push_back(std::move(class_module));
  end.files.push_back(std::move(replacement));
  end.files.push_back(std::move(workspace));
  end.modules.emplace_back(class_path, std::move(tap));
  FinishPage(base_name, end);
  return true;
}

void GenerationRun::FinishPage(const std::string& class_name, PageFinisher::PageEnd& end) {
  WriteReplacementPage(*end.files[1], class_name, dll_name_);
  WriteClassLine(*project_, class_name);
  WriteWorkspaceLine(*end.files[2], class_name);
  // In a folder others may write into, what the run knows of its names is checked against the
  // folder at each change: a rename on the finisher's thread beside a create on this one would
  // make each look again, so the page's files are closed here, as they are made.
  if (!target_owned_) {
    for (const std::unique_ptr<OutputFile>& file : end.files) {
      if (file->open()) file->Close();
    }
  }
}

bool GenerationRun::ConvertCompilable(const std::string& selected,
                                      std::unique_ptr<fs::TextStream> page, const PagePlace& place,
                                      PageFinisher::PageEnd& end) {
  FailureLog& failures = *end.failures;
  compilable::CompilablePage translation;
  translation.source_path = place.source_path;
  translation.site_root = services_.site_root.empty() ? input_.source_dir : services_.site_root;
  if (input_.subfolders) translation.include_root = input_.source_dir;
  translation.class_name = compilable::ClassNameFor(place.base_name);
  translation.files = files_.get();
  translation.page = std::move(page);
  translation.failures = &failures;
  compilable::CompilableResult translated = compilable::TranslateCompilable(translation);
  // The module is made before any file of the page is: a missing include leaves the earlier
  // run's files of this page as they were.
  if (translated.missing_include) {
    return MissingInclude(selected, std::move(*translated.missing_include));
  }
  const std::string& class_name = translated.class_name;
  const std::string class_path = PathIn(input_.target_dir, class_name + ".cls");
  if (!class_names_.insert(AsciiLower(class_name)).second) {
    failures.Record(Access::kWrite, Status::AlreadyExists(class_path, kNameTaken));
    return true;
  }
  auto class_module = std::make_unique<OutputFile>(*files_, class_path, &failures);
  MakeTargetFolder(place.folder, failures);
  auto replacement = std::make_unique<OutputFile>(*files_, place.page_path, &failures);
  auto workspace = std::make_unique<OutputFile>(
      *files_, PathIn(input_.target_dir, class_name + ".vbw"), &failures);
  PageFinisher::Module tap = finisher_.NewModule(true);
  class_module->SetTap(&tap);
  for (const std::string& line : translated.module_lines) class_module->WriteLine(line);
  class_module->SetTap(nullptr);
  end.files.push_back(std::move(class_module));
  end.files.push_back(std::move(replacement));
  end.files.push_back(std::move(workspace));
  end.modules.emplace_back(class_path, std::move(tap));
  for (const compilable::ClassModuleText& module : translated.classes) {
    WriteClassModule(module, end);
  }
  FinishPage(class_name, end);
  return true;
}

void GenerationRun::WriteClassModule(const compilable::ClassModuleText& module,
                                     PageFinisher::PageEnd& end) {
  FailureLog& failures = *end.failures;
  const std::string key = AsciiLower(module.name);
  const std::string path = PathIn(input_.target_dir, module.name + ".cls");
  if (auto known = vbscript_classes_.find(key); known != vbscript_classes_.end()) {
    // One class read by many pages through a shared include is written once.
    if (known->second != module.lines) {
      failures.Record(Access::kWrite, Status::AlreadyExists(path, kClassTaken));
    }
    return;
  }
  if (!class_names_.insert(key).second) {
    failures.Record(Access::kWrite, Status::AlreadyExists(path, kNameTaken));
    return;
  }
  vbscript_classes_.emplace(key, module.lines);
  // Closed here, as it is made: a page may hold many classes, and each would hold a file open
  // until the finisher came to its page.
  OutputFile file(*files_, path, &failures);
  PageFinisher::Module tap = finisher_.NewModule(true);
  file.SetTap(&tap);
  for (const std::string& line : module.lines) file.WriteLine(line);
  file.SetTap(nullptr);
  Finished(file);
  end.modules.emplace_back(path, std::move(tap));
  WriteClassLine(*project_, module.name);
}

void GenerationRun::MakeTargetFolder(const std::string& folder, FailureLog& failures) {
  // A site's pages come folder by folder: only a change of folder costs creates.
  if (folder.empty() || folder == made_folder_) return;
  made_folder_ = folder;
  for (size_t end = folder.find('\\');; end = folder.find('\\', end + 1)) {
    const std::string path = PathIn(input_.target_dir, folder.substr(0, end));
    // One left by an earlier run, or by a folder before, is used as it is.
    if (Status made = files_->CreateFolder(path);
        !made.ok() && !services_.env->FolderIdentity(path)) {
      failures.Record(Access::kCreateFolder, made.WithPath(path));
    }
    if (end == std::string::npos) return;
  }
}

bool GenerationRun::MissingInclude(const std::string& selected, std::string include) {
  if (!input_.keep_going) {
    summary_.end = RunEnd::kMissingInclude;
    summary_.missing_include = std::move(include);
    return false;
  }
  ++summary_.pages_left_out;
  if (summary_.first_pages_left_out.size() < RunSummary::kKeptPagesLeftOut) {
    summary_.first_pages_left_out.push_back({selected, std::move(include)});
  }
  return true;
}

bool GenerationRun::Finished(OutputFile& file) {
  if (file.open()) file.Close();
  if (!file.WrittenWithoutFailure()) return false;
  ++summary_.files_written;
  return true;
}

void GenerationRun::LeaveUnfinished(OutputFile& file) {
  file.Abandon();
  summary_.files_left.push_back(file.path());
}

}  // namespace

RunSummary RunGeneration(const RunInput& input, const Services& services) {
  RunSummary summary;
  GenerationRun run(input, services, summary);
  run.Run();
  summary.failures = run.failures().failures();
  return summary;
}

}  // namespace vorlintex::generator
