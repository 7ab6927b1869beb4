#include "generator/generation_run.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "generator/build_script.h"
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

class GenerationRun {
 public:
  GenerationRun(const RunInput& input, const Services& services, RunSummary& summary)
      : input_(input), dll_name_(DllName(input.dll_name)), services_(services), summary_(summary) {}

  void Run();
  const FailureLog& failures() const { return failures_; }

 private:
  // Converts the page selected as `selected`: its class module, replacement page, workspace
  // file and its line in the project. False when a missing include file ended the run.
  bool ConvertPage(const std::string& selected);
  // The check of the fields that fails first, in the order the entry page's script makes
  // them; nothing when all pass.
  std::optional<RefusedField> Refusal(Env& env) const;
  // Closes `file` when still open, and counts it as written when it took its name; true then.
  bool Finished(OutputFile& file);

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
};

void GenerationRun::Run() {
  summary_.dll_name = dll_name_;
  if (services_.env == nullptr) {
    summary_.end = RunEnd::kNoFileService;
    summary_.file_service_failure =
        Status::InvalidArgument("Scripting.FileSystemObject", "no platform");
    return;
  }
  Env& env = *services_.env;
  const std::string compiler_path = FindCompilerPath(env);

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
  }

  summary_.build_script = PathIn(input_.target_dir, dll_name_ + ".bat");
  build_script_ = std::make_unique<OutputFile>(*files_, summary_.build_script, &failures_);
  project_ = std::make_unique<OutputFile>(*files_, PathIn(input_.target_dir, dll_name_ + ".vbp"),
                                          &failures_);
  WriteProjectHeader(*project_, env.WindowsDirectory());

  for (const std::string& selected : input_.pages) {
    if (!ConvertPage(selected)) {
      // Kept as far as they got, and counted as they are on disk.
      Finished(*project_);
      Finished(*build_script_);
      return;
    }
  }

  WriteProjectTrailer(*project_, dll_name_);
  Finished(*project_);
  WriteBuildScript(*build_script_, compiler_path, input_.target_dir, dll_name_);
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
  const std::string base_name = BaseName(selected);
  const std::string source_path = PathIn(input_.source_dir, base_name + ".asp");
  const std::string class_path = PathIn(input_.target_dir, base_name + ".cls");

  // A name with a folder part would read, and write, outside the two folders.
  if (!IsPlainFileName(selected)) {
    failures_.Record(Access::kRead, Status::InvalidArgument(source_path, kNotAPage));
    return true;
  }
  // A second page of one class name would replace the first's files.
  if (class_names_.count(base_name) != 0) {
    failures_.Record(Access::kWrite, Status::AlreadyExists(class_path, kNameTaken));
    return true;
  }

  translator::PageTranslation translation;
  translation.source_dir = input_.source_dir;
  translation.source_path = source_path;
  translation.base_name = base_name;
  translation.files = files_.get();
  translation.env = services_.env;
  translation.failures = &failures_;
  // A page that cannot be opened gets no outputs: a class module of the fixed lines alone
  // would replace a good one of an earlier run.
  if (Status opened = files_->OpenTextFile(source_path, &translation.page); !opened.ok()) {
    failures_.Record(Access::kRead, opened.WithPath(source_path));
    return true;
  }
  class_names_.insert(base_name);
  OutputFile class_module(*files_, class_path, &failures_);
  OutputFile replacement(*files_, PathIn(input_.target_dir, base_name + ".asp"), &failures_);
  OutputFile workspace(*files_, PathIn(input_.target_dir, base_name + ".vbw"), &failures_);

  translation.class_module = &class_module;
  translator::TranslationResult translated = translator::TranslatePage(translation);
  if (translated.missing_include) {
    summary_.end = RunEnd::kMissingInclude;
    summary_.missing_include = *translated.missing_include;
    Finished(class_module);
    Finished(replacement);
    Finished(workspace);
    return false;
  }
  bool written = Finished(class_module);

  WriteReplacementPage(replacement, base_name, dll_name_);
  written = Finished(replacement) && written;

  WriteClassLine(*project_, base_name);
  WriteWorkspaceLine(workspace, base_name);
  written = Finished(workspace) && written;

  if (written) ++summary_.pages_converted;
  return true;
}

bool GenerationRun::Finished(OutputFile& file) {
  if (file.open()) file.Close();
  if (!file.WrittenWithoutFailure()) return false;
  ++summary_.files_written;
  return true;
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
