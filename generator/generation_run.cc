#include "generator/generation_run.h"

#include <memory>
#include <optional>
#include <string>
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
  // Lists `file` as written when nothing on it failed.
  void Finished(const OutputFile& file);

  const RunInput& input_;
  const std::string dll_name_;
  host::Response& response_;
  const Services& services_;
  RunSummary& summary_;

  FailureLog failures_;
  std::unique_ptr<fs::TextFileService> files_;
  std::unique_ptr<OutputFile> project_;
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

  // Writing into the source folder would replace each source page while it is being read.
  if (SameFolder(env, input_.source_dir, input_.target_dir)) {
    summary_.refused_same_folder = true;
    return WriteSameFolderRefusal(response_);
  }

  if (Status made = env.NewFileService(&files_); !made.ok()) return made;
  if (files_ == nullptr) {
    return Status::IOError("Scripting.FileSystemObject", "no object was made");
  }

  // A folder left by an earlier run is used as it is, and a missing parent shows in the
  // failures of every file below; the create's own failure tells nothing more.
  files_->CreateFolder(input_.target_dir).IgnoreError();
  TargetTurns::Turn turn;
  if (services_.turns != nullptr) {
    turn = services_.turns->Take(TargetTurns::KeyOf(env, input_.target_dir));
  }

  summary_.build_script = PathIn(input_.target_dir, dll_name_ + ".bat");
  auto build_script = std::make_unique<OutputFile>(*files_, summary_.build_script, &failures_);
  project_ = std::make_unique<OutputFile>(*files_, PathIn(input_.target_dir, dll_name_ + ".vbp"),
                                          &failures_);
  WriteProjectHeader(*project_, env.WindowsDirectory());

  for (const std::string& selected : input_.pages) {
    Status page_status;
    if (!ConvertPage(selected, &page_status)) return page_status;
  }

  WriteProjectTrailer(*project_, dll_name_);
  project_->Close();
  Finished(*project_);
  WriteBuildScript(*build_script, compiler_path, input_.target_dir, dll_name_);
  Finished(*build_script);
  project_.reset();
  build_script.reset();
  files_.reset();
  turn = TargetTurns::Turn();

  return WriteCompletionReport(response_, input_.source_dir, input_.target_dir, dll_name_,
                               failures_.failures());
}

bool GenerationRun::ConvertPage(const std::string& selected, Status* page_status) {
  const std::string base_name = BaseName(selected);
  const std::string source_path = PathIn(input_.source_dir, base_name + ".asp");

  translator::PageTranslation translation;
  translation.source_dir = input_.source_dir;
  translation.source_path = source_path;
  translation.base_name = base_name;
  translation.files = files_.get();
  translation.env = services_.env;
  translation.failures = &failures_;
  // A page that cannot be opened is read as an empty page: its class module gets the fixed
  // lines, and the failure goes into the report.
  if (Status opened = files_->OpenTextFile(source_path, &translation.page); !opened.ok()) {
    failures_.Record(Access::kRead, opened.WithPath(source_path));
    translation.page.reset();
  }
  OutputFile class_module(*files_, PathIn(input_.target_dir, base_name + ".cls"), &failures_);
  OutputFile replacement(*files_, PathIn(input_.target_dir, base_name + ".asp"), &failures_);
  OutputFile workspace(*files_, PathIn(input_.target_dir, base_name + ".vbw"), &failures_);

  translation.class_module = &class_module;
  translator::TranslationResult translated = translator::TranslatePage(translation);
  if (translated.missing_include) {
    summary_.missing_include = translated.missing_include;
    *page_status = WriteIncludeNotFoundPage(response_, *translated.missing_include);
    return false;
  }
  Finished(class_module);

  WriteReplacementPage(replacement, base_name, dll_name_);
  Finished(replacement);

  WriteClassLine(*project_, base_name);
  WriteWorkspaceLine(workspace, base_name);
  workspace.Close();
  Finished(workspace);

  ++summary_.pages_converted;
  if (services_.observer != nullptr) services_.observer->PageConverted(base_name);
  return true;
}

void GenerationRun::Finished(const OutputFile& file) {
  if (!file.WrittenWithoutFailure()) return;
  ++summary_.files_written;
  if (file.path() == summary_.build_script) summary_.build_script_written = true;
  if (services_.observer != nullptr) services_.observer->FileWritten(file.path());
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
