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
#include "generator/run_pages.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "html/input_checks.h"
#include "html/page_head.h"
#include "html/page_writer.h"
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
  GenerationRun(const RunInput& input, host::Response& response, const Services& services,
                RunSummary& summary)
      : input_(input),
        dll_name_(DllName(input.dll_name)),
        response_(response),
        services_(services),
        summary_(summary) {}

  Status Run();
  const FailureLog& failures() const { return failures_; }

 private:
  // Converts the page selected as `selected`: its class module, replacement page, workspace
  // file and its line in the project. False when a missing include file ended the run (the
  // include-not-found page is then written, with `*page_status` its outcome).
  bool ConvertPage(const std::string& selected, Status* page_status);
  // The check of the fields that fails first, in the order the entry page's script makes
  // them; null when all pass.
  const char* RefusedField(Env& env) const;
  // Closes `file` when still open, and counts it as written when it took its name; true then.
  bool Finished(OutputFile& file);

  const RunInput& input_;
  const std::string dll_name_;
  host::Response& response_;
  const Services& services_;
  RunSummary& summary_;

  FailureLog failures_;
  std::unique_ptr<fs::TextFileService> files_;
  std::unique_ptr<OutputFile> project_;
  std::unique_ptr<OutputFile> build_script_;
  // The class names of the pages given outputs so far: a class is one page's.
  std::unordered_set<std::string> class_names_;
};

Status GenerationRun::Run() {
  if (services_.env == nullptr) {
    return Status::InvalidArgument("Scripting.FileSystemObject", "no platform");
  }
  Env& env = *services_.env;

  // The registry is read before anything goes to the response.
  const std::string compiler_path = FindCompilerPath(env);
  html::PageWriter page(response_);
  html::WritePageHead(page);
  if (!page.ok()) return page.status();

  // A posted form reaches the run without the entry page's script.
  if (const char* refusal = RefusedField(env)) {
    summary_.refused_same_folder = refusal == html::kSameFolder;
    return WriteRefusal(response_, refusal);
  }

  if (Status made = env.NewFileService(&files_); !made.ok()) return made;
  if (files_ == nullptr) {
    return Status::IOError("Scripting.FileSystemObject", "no object was made");
  }

  // A folder left by an earlier run is used as it is; one that is not there after the create
  // is the first thing the user must hear of.
  if (Status made = files_->CreateFolder(input_.target_dir);
      !made.ok() && !env.FolderIdentity(input_.target_dir)) {
    failures_.Record(Access::kCreateFolder, made.WithPath(input_.target_dir));
  }
  TargetTurns::Turn turn;
  if (services_.turns != nullptr) {
    turn = services_.turns->Take(TargetTurns::KeyOf(env, input_.target_dir));
  }

  summary_.build_script = PathIn(input_.target_dir, dll_name_ + ".bat");
  build_script_ = std::make_unique<OutputFile>(*files_, summary_.build_script, &failures_);
  project_ = std::make_unique<OutputFile>(*files_, PathIn(input_.target_dir, dll_name_ + ".vbp"),
                                          &failures_);
  WriteProjectHeader(*project_, env.WindowsDirectory());

  for (const std::string& selected : input_.pages) {
    Status page_status;
    if (!ConvertPage(selected, &page_status)) {
      // Kept as far as they got, and counted as they are on disk.
      Finished(*project_);
      Finished(*build_script_);
      return page_status;
    }
  }

  WriteProjectTrailer(*project_, dll_name_);
  Finished(*project_);
  WriteBuildScript(*build_script_, compiler_path, input_.target_dir, dll_name_);
  summary_.build_script_written = Finished(*build_script_);
  project_.reset();
  build_script_.reset();
  files_.reset();
  turn = TargetTurns::Turn();

  return WriteCompletionReport(response_, input_.source_dir, input_.target_dir, dll_name_,
                               failures_.failures());
}

const char* GenerationRun::RefusedField(Env& env) const {
  if (input_.source_dir.empty()) return html::kSourceBlank;
  if (input_.target_dir.empty()) return html::kTargetBlank;
  // Writing into the source folder would replace each source page while it is being read.
  if (SameFolder(env, input_.source_dir, input_.target_dir)) return html::kSameFolder;
  if (input_.dll_name.empty()) return html::kNameBlank;
  return nullptr;
}

bool GenerationRun::ConvertPage(const std::string& selected, Status* page_status) {
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
    summary_.missing_include = translated.missing_include;
    *page_status = WriteIncludeNotFoundPage(response_, *translated.missing_include);
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

  if (!written) return true;
  ++summary_.pages_converted;
  if (services_.observer != nullptr) services_.observer->PageConverted(base_name);
  return true;
}

bool GenerationRun::Finished(OutputFile& file) {
  if (file.open()) file.Close();
  if (!file.WrittenWithoutFailure()) return false;
  ++summary_.files_written;
  if (services_.observer != nullptr) services_.observer->FileWritten(file.path());
  return true;
}

}  // namespace

RunSummary RunGeneration(const RunInput& input, host::Response& response,
                         const Services& services) {
  RunSummary summary;
  {
    GenerationRun run(input, response, services, summary);
    summary.host_failure = run.Run();
    summary.failures = run.failures().failures();
  }
  if (services.observer != nullptr) services.observer->RunFinished(summary);
  return summary;
}

}  // namespace vorlintex::generator
