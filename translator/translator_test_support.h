// Shared by the translator tests: source pages and include files in an in-memory store, and
// the texts they are compared with.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contract/failure_log.h"
#include "platform/fault_injection_env.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "translator/translate_page.h"

namespace vorlintex::translator::testing {

inline constexpr char kSourceDir[] = "C:\\site";
inline constexpr char kTargetDir[] = "C:\\out";

using Lines = std::vector<std::string>;

// Each line followed by CR LF, as WriteLine writes it.
inline std::string CrLfLines(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The class module header block (the class header, its attributes and the members).
inline std::string ExpectedHeader(const std::string& base_name) {
  return "VERSION 1.0 CLASS\r\n"
         "BEGIN\r\n"
         "  MultiUse = -1  'True\r\n"
         "  Persistable = 0  'NotPersistable\r\n"
         "  DataBindingBehavior = 0  'vbNone\r\n"
         "  DataSourceBehavior  = 0  'vbNone\r\n"
         "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
         "END\r\n"
         "Attribute VB_Name = \"" +
         base_name +
         "\"\r\n"
         "Attribute VB_GlobalNameSpace = False\r\n"
         "Attribute VB_Creatable = True\r\n"
         "Attribute VB_PredeclaredId = False\r\n"
         "Attribute VB_Exposed = True\r\n"
         "'Global Scripting Context\r\n"
         "Dim ASPsc As ScriptingContext\r\n"
         "Dim Application As Object\r\n"
         "Dim Request As Object\r\n"
         "Dim Session As Object\r\n"
         "Dim Response As Object\r\n"
         "Dim Server As Object\r\n"
         "\r\n"
         "'Global variables\r\n"
         "\r\n";
}

// A whole class module: the fixed lines around the given sections, each section's lines
// already joined by CrLfLines.
inline std::string ExpectedModule(const std::string& base_name, const std::string& procedures,
                                  const std::string& script_blocks, const std::string& body) {
  return ExpectedHeader(base_name) + procedures +
         "Public Sub Main()\r\n"
         "End Sub\r\n"
         "Public Sub OnStartPage(ASPScriptingContext As ScriptingContext)\r\n"
         "'Set global variable to reference in other functions and subs\r\n"
         "    Set ASPsc = ASPScriptingContext\r\n"
         "End Sub\r\n"
         "Public Sub OnEndPage()\r\n"
         "    Set ASPsc = Nothing\r\n"
         "End Sub\r\n" +
         script_blocks + "Public Sub " + base_name +
         "()\r\n"
         "\r\n"
         "Set Application = ASPsc.Application\r\n"
         "Set Request = ASPsc.Request\r\n"
         "Set Session = ASPsc.Session\r\n"
         "Set Response = ASPsc.Response\r\n"
         "Set Server = ASPsc.Server\r\n"
         "\r\n" +
         body + "End Sub\r\n";
}

// A source directory in memory, and the run's file service object over it, both through a
// fault injection the tests may tell to fail operations.
class PageStore {
 public:
  PageStore() : store_(fs::MemoryFileSystem::Create()), env_(store_), faults_(env_) {
    store_->AddFolder(kSourceDir);
    store_->AddFolder(kTargetDir);
    if (!faults_.NewFileService(&files_).ok()) abort();
  }

  fs::MemoryFileSystem& store() { return *store_; }
  FaultInjectionEnv& faults() { return faults_; }
  FailureLog& failures() { return failures_; }

  static std::string SourcePath(const std::string& name) {
    return std::string(kSourceDir) + "\\" + name;
  }
  static std::string ModulePath(const std::string& base_name) {
    return std::string(kTargetDir) + "\\" + base_name + ".cls";
  }

  std::string ModuleText(const std::string& base_name) const {
    return store_->Contents(ModulePath(base_name)).value_or("<no class module>");
  }

  // What the generation run hands over for the source page `base_name`.asp, its class module
  // created anew.
  PageTranslation Prepare(const std::string& base_name) {
    module_ = std::make_unique<OutputFile>(*files_, ModulePath(base_name), &failures_);
    PageTranslation page;
    page.source_dir = kSourceDir;
    page.source_path = SourcePath(base_name + ".asp");
    page.base_name = base_name;
    page.files = files_.get();
    page.env = &faults_;
    page.include_cache = &include_cache_;  // as a run has one for all its pages
    (void)files_->OpenTextFile(page.source_path, &page.page);
    page.class_module = module_.get();
    page.failures = &failures_;
    return page;
  }

  // Adds the source page `base_name`.asp and the include files, each given by name and lines.
  void AddPage(const std::string& base_name, const Lines& page,
               const std::vector<std::pair<std::string, Lines>>& includes) {
    store_->AddFile(SourcePath(base_name + ".asp"), CrLfLines(page));
    for (const auto& [name, lines] : includes) store_->AddFile(SourcePath(name), CrLfLines(lines));
  }

 private:
  std::shared_ptr<fs::MemoryFileSystem> store_;
  MemoryEnv env_;
  FaultInjectionEnv faults_;
  std::unique_ptr<fs::TextFileService> files_;
  FailureLog failures_;
  IncludeCache include_cache_;
  std::unique_ptr<OutputFile> module_;
};

}  // namespace vorlintex::translator::testing
