#include "generator/generation_run.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "component/env.h"
#include "component/failure_log.h"
#include "generator/build_script.h"
#include "generator/output_file.h"
#include "generator/page_head.h"
#include "generator/project_files.h"
#include "generator/replacement_page.h"
#include "generator/run_names.h"
#include "generator/run_pages.h"
#include "generator/run_summary.h"
#include "generator/target_turns.h"
#include "translator/translate_page.h"

namespace vorlintex::generator {

namespace {

// The run's inputs as posted, with the DLL name derived from them.
struct RunInputs {
  std::string source_dir;
  std::string target_dir;
  std::string dll_name;
};

// True when both paths name one existing folder, however they are spelled.
bool SameFolder(Env& env, const std::string& source_dir, const std::string& target_dir) {
  std::optional<std::string> source = env.FolderIdentity(source_dir);
  if (!source) return false;
  std::optional<std::string> target = env.FolderIdentity(target_dir);
  return target && *source == *target;
}

class GenerationRun {
 public:
  GenerationRun(host::Request& request, host::Response& response, const Services& services,
                RunSummary& summary)
      : request_(request), response_(response), services_(services), summary_(summary) {}

  Status Run();
  const FailureLog& failures() const { return failures_; }

 private:
  Status ReadInputs();
  // Converts the page selected as `selected`: its class module, replacement page, workspace
  // file and its line in the project. False when a missing include file ended the run (the
  // include-not-found page is then written, with `*page_status` its outcome).
  bool ConvertPage(const std::string& selected, Status* page_status);
  // Lists `file` as written when nothing on it failed.
  void Finished(const OutputFile& file);

  host::Request& request_;
  host::Response& response_;
  const Services& services_;
  RunSummary& summary_;

  RunInputs inputs_;
  FailureLog failures_;
  std::unique_ptr<fs::TextFileService> files_;
  std::unique_ptr<OutputFile> project_;
};

Status GenerationRun::Run() {
  if (services_.env == nullptr) return Status::Error("Scripting.FileSystemObject", "no platform");
  Env& env = *services_.env;

  // The registry is read before anything goes to the response.
  const std::string compiler_path = FindCompilerPath(env);
  if (Status head = WritePageHead(response_); !head.ok()) return head;
  if (Status read = ReadInputs(); !read.ok()) return read;

  // Writing into the source folder would replace each source page while it is being read.
  if (SameFolder(env, inputs_.source_dir, inputs_.target_dir)) {
    summary_.refused_same_folder = true;
    return WriteSameFolderRefusal(response_);
  }

  if (Status made = env.NewFileService(&files_); !made.ok()) return made;
  if (files_ == nullptr) return Status::Error("Scripting.FileSystemObject", "no object was made");

  // A folder left by an earlier run is used as it is, and a missing parent shows in the
  // failures of every file below; the create's own failure tells nothing more.
  files_->CreateFolder(inputs_.target_dir);
  TargetTurns::Turn turn;
  if (services_.turns != nullptr) {
    turn = services_.turns->Take(TargetTurns::KeyOf(env, inputs_.target_dir));
  }

  summary_.build_script = PathIn(inputs_.target_dir, inputs_.dll_name + ".bat");
  std::unique_ptr<OutputFile> build_script =
      OutputFile::Create(*files_, summary_.build_script, failures_);
  project_ =
      OutputFile::Create(*files_, PathIn(inputs_.target_dir, inputs_.dll_name + ".vbp"), failures_);
  WriteProjectHeader(*project_, env.WindowsDirectory());

  std::shared_ptr<host::FormCollection> selection;
  if (Status form = request_.Form("asplist", &selection); !form.ok()) return form;
  int count = 0;
  if (selection != nullptr) {
    if (Status counted = selection->Count(&count); !counted.ok()) return counted;
  }
  for (int i = 1; i <= count; ++i) {
    std::string selected;
    if (Status item = selection->Item(i, &selected); !item.ok()) return item;
    Status page_status;
    if (!ConvertPage(selected, &page_status)) return page_status;
  }

  WriteProjectTrailer(*project_, inputs_.dll_name);
  project_->Close();
  Finished(*project_);
  WriteBuildScript(*build_script, compiler_path, inputs_.target_dir, inputs_.dll_name);
  Finished(*build_script);
  project_.reset();
  build_script.reset();
  files_.reset();
  turn = TargetTurns::Turn();

  return WriteCompletionReport(response_, inputs_.source_dir, inputs_.target_dir, inputs_.dll_name,
                               failures_.failures());
}

Status GenerationRun::ReadInputs() {
  if (Status s = request_.Item("sourcedir", &inputs_.source_dir); !s.ok()) return s;
  if (Status s = request_.Item("targetdir", &inputs_.target_dir); !s.ok()) return s;
  std::string posted_dll_name;
  if (Status s = request_.Item("dllname", &posted_dll_name); !s.ok()) return s;
  inputs_.dll_name = DllName(posted_dll_name);
  return Status::OK();
}

bool GenerationRun::ConvertPage(const std::string& selected, Status* page_status) {
  const std::string base_name = BaseName(selected);
  const std::string source_path = PathIn(inputs_.source_dir, base_name + ".asp");

  translator::PageTranslation translation;
  translation.source_dir = inputs_.source_dir;
  translation.source_path = source_path;
  translation.base_name = base_name;
  translation.files = files_.get();
  translation.env = services_.env;
  translation.failures = &failures_;
  // A page that cannot be opened is read as an empty page: its class module gets the fixed
  // lines, and the failure goes into the report.
  if (Status opened = files_->OpenTextFile(source_path, &translation.page); !opened.ok()) {
    failures_.Record(Access::kRead, Status::Error(source_path, opened.reason()));
    translation.page.reset();
  }
  std::unique_ptr<OutputFile> class_module =
      OutputFile::Create(*files_, PathIn(inputs_.target_dir, base_name + ".cls"), failures_);
  std::unique_ptr<OutputFile> replacement =
      OutputFile::Create(*files_, PathIn(inputs_.target_dir, base_name + ".asp"), failures_);
  std::unique_ptr<OutputFile> workspace =
      OutputFile::Create(*files_, PathIn(inputs_.target_dir, base_name + ".vbw"), failures_);

  translation.class_module = class_module.get();
  translator::TranslationResult translated = translator::TranslatePage(translation);
  if (translated.missing_include) {
    summary_.missing_include = translated.missing_include;
    *page_status = WriteIncludeNotFoundPage(response_, *translated.missing_include);
    return false;
  }
  Finished(*class_module);

  WriteReplacementPage(*replacement, base_name, inputs_.dll_name);
  Finished(*replacement);

  WriteClassLine(*project_, base_name);
  WriteWorkspaceLine(*workspace, base_name);
  workspace->Close();
  Finished(*workspace);

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

Status RunGeneration(host::Request& request, host::Response& response, const Services& services) {
  RunSummary summary;
  Status status;
  {
    GenerationRun run(request, response, services, summary);
    status = run.Run();
    summary.failures = run.failures().failures();
  }
  summary.host_failure = status;
  if (services.observer != nullptr) services.observer->RunFinished(summary);
  return status;
}

}  // namespace vorlintex::generator
